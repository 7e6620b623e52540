#pragma once
// What every Quilo program says, in Italian, about itself (--help,
// --version) and about an argument it cannot take: which one, and where to
// look. A bad command line exits with status 2.

#include <initializer_list>
#include <iostream>
#include <string>

#ifndef QUILO_VERSION
#define QUILO_VERSION "1.0"
#endif

namespace quilo {

inline constexpr int kBadArguments = 2;

// True when `argument` asked for the help or the version, now printed.
inline bool answeredItself(const std::string& argument, const char* program, const char* help) {
    if (argument == "--help" || argument == "-h") {
        std::cout << help;
        return true;
    }
    if (argument == "--version" || argument == "-v") {
        std::cout << program << " " << QUILO_VERSION << "\n";
        return true;
    }
    return false;
}

// Says what is wrong with the options taken together (`what`, in Italian).
inline int refuseOptions(const char* program, const char* what) {
    std::cerr << program << ": " << what << "; vedi " << program << " --help\n";
    return kBadArguments;
}

// Says what is wrong with `argument`: an option missing its value, an
// option the program does not know, or one argument too many.
inline int refuseArgument(const char* program, const std::string& argument,
                          std::initializer_list<const char*> optionsWithValue) {
    std::cerr << program << ": ";
    bool takesValue = false;
    for (const char* option : optionsWithValue) takesValue = takesValue || argument == option;
    if (takesValue) {
        std::cerr << "all'opzione \u00AB" << argument << "\u00BB manca il valore";
    } else if (!argument.empty() && argument[0] == '-') {
        std::cerr << "opzione sconosciuta \u00AB" << argument << "\u00BB";
    } else {
        std::cerr << "argomento in pi\u00F9 \u00AB" << argument << "\u00BB";
    }
    std::cerr << "; vedi " << program << " --help\n";
    return kBadArguments;
}

}  // namespace quilo
