#pragma once
// The command line:
//   quilo [SCRIPT] [--from TT:MM:SS] [--root DIR] [--disc SOURCE] [--sync-offset MS] [--screen N]

#include <QStringList>
#include <optional>
#include <string>

#include "shared/CdPosition.h"

namespace quilo {

struct AppOptions {
    std::string root;      // the folder that stands for drive C:
    std::string disc;      // drive, image or folder; empty for the default drive
    int syncOffsetMs = 0;  // added to the position the script follows
    int screen = -1;       // the display form's screen; -1 for the primary one
    // A script to start straight away, as "Lettore" would, with Play pressed.
    std::string script;
    std::optional<CdPosition> from;  // where on the disc the show starts
    // Where the last script is remembered; empty for the user's own settings.
    std::string settingsFile;
    // The installed demo's CD image: played when no disc is named and the
    // machine has no CD drive at all, so that the demo always plays.
    std::string demoDisc;
    // The remote on the local network (--remote [PORT]); off when none.
    std::optional<int> remotePort;
    bool noRemote = false;        // --no-remote: off now and at the next runs
    std::string remoteBind;       // the interface; empty for all
    std::string remoteTokenFile;  // a fixed token, for a pedal; empty for a new one each run
};

inline constexpr int kRemotePort = 8390;

// "TT:MM:SS" as a place on the disc; nothing when it is not one.
std::optional<CdPosition> parseDiscTime(const std::string& text);

// The options, or nothing after printing help or an error (`exitCode` says which).
std::optional<AppOptions> parseOptions(const QStringList& arguments, int& exitCode);

}  // namespace quilo
