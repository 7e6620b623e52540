#pragma once
// Where the program remembers things between runs (the last script, whether
// the remote is on): the user's own settings, or a file the options name.

#include <QSettings>
#include <memory>

#include "app/Options.h"

namespace quilo {

inline std::unique_ptr<QSettings> settings(const AppOptions& options) {
    if (!options.settingsFile.empty()) {
        return std::make_unique<QSettings>(QString::fromStdString(options.settingsFile),
                                           QSettings::IniFormat);
    }
    return std::make_unique<QSettings>(QStringLiteral("Quilo"), QStringLiteral("Quilo"));
}

}  // namespace quilo
