// quilo-check SCRIPT [--root DIR]: finds what will go wrong when a script plays.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include <QCoreApplication>

#include "display/view/QtPictureProber.h"
#include "display/view/QuietQtMessages.h"
#include "script/ScriptChecker.h"
#include "tools/DecodingSoundCheck.h"

int main(int argc, char** argv) {
    quilo::quietQtMessages();
    QCoreApplication application(argc, argv);
    std::string script;
    const char* home = std::getenv("HOME");
    std::string root = (std::filesystem::path(home ? home : "/") / "Quilo").string();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--root" && i + 1 < argc) {
            root = argv[++i];
        } else if (script.empty() && !arg.empty() && arg[0] != '-') {
            script = arg;
        } else {
            std::cerr << "uso: quilo-check COPIONE [--root DIR]\n";
            return 2;
        }
    }
    if (script.empty()) {
        std::cerr << "uso: quilo-check COPIONE [--root DIR]\n";
        return 2;
    }
    const quilo::PathResolver paths(root);
    quilo::QtPictureProber pictures;
    quilo::DecodingSoundCheck sounds;
    const quilo::CheckReport report = quilo::checkScript(script, paths, {&pictures, &sounds});
    std::cout << quilo::formatReport(script, report);
    if (!report.readable) return 2;
    return report.errors() > 0 ? 1 : 0;
}
