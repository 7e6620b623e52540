#pragma once
// The first run on a machine: the data root does not exist yet. The program
// offers to make one from the demo installed with it (its colour file and its
// Allegato folder), so that a new user has a working show at once; the demo's
// CD image then plays when no disc was named. Nothing else is ever written.

#include <filesystem>
#include <optional>
#include <string>

#include "app/Options.h"
#include "shared/InstalledDemo.h"

namespace quilo {

// Makes `root` a copy of the demo's tree; the reason in Italian when it cannot
// (and then nothing is left half made).
std::optional<std::string> createRootFromDemo(const std::filesystem::path& root,
                                              const InstalledDemo& demo);

// Asks, in an Italian dialog, whether to create a missing root from the demo
// installed beside `programDir`; false when the program cannot go on (the
// user said no, or the root could not be made). Names the demo's disc in the
// options either way, for a machine without a CD drive.
bool offerFirstRun(AppOptions& options, const std::filesystem::path& programDir);

}  // namespace quilo
