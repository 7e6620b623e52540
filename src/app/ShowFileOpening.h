#pragma once
// A show file (".quilo") as the player takes it: named on the command line,
// it is opened (unpacked into the cache the first time, with a progress bar
// for a large one) and played from its own folder, on its own music when it
// carries it; chosen in the chooser, the player starts again on it, keeping
// this run's screen, offset and remote.

#include <QStringList>

#include "app/Options.h"

namespace quilo {

// False, after telling the user why, when the named show file cannot be
// opened; true (options untouched) when the script is not a show file.
bool openShowArgument(AppOptions& options);

// This run's arguments for a run that plays `show` instead: the script,
// --root and --from are left out.
QStringList argumentsForShow(const QStringList& given, const QString& show);

// Replaces this process with the player on `show`; returns only on failure.
int runAgainWith(const QStringList& given, const QString& show);

}  // namespace quilo
