#pragma once
// The command line: quilo [--root DIR] [--disc SOURCE] [--sync-offset MS] [--screen N].

#include <QStringList>
#include <optional>
#include <string>

namespace quilo {

struct AppOptions {
    std::string root;      // the folder that stands for drive C:
    std::string disc;      // drive, image or folder; empty for the default drive
    int syncOffsetMs = 0;  // added to the position the script follows
    int screen = -1;       // the display form's screen; -1 for the primary one
};

// The options, or nothing after printing help or an error (`exitCode` says which).
std::optional<AppOptions> parseOptions(const QStringList& arguments, int& exitCode);

}  // namespace quilo
