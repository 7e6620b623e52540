#pragma once
// What goes into a show file, decided from the script as the player reads it:
// the script itself, the colour file, and every picture, background and sound
// it names, each under the name the player will look for on the hall's
// computer. A file found on disk with other letter case or slashes than the
// script writes goes in under the script's spelling, so it is found there
// as written.

#include <filesystem>
#include <string>
#include <vector>

#include "shared/Modulo1.h"
#include "shared/PathResolver.h"

namespace quilo {

struct PackEntry {
    std::string member;            // the path in the show file, '/' between folders
    std::filesystem::path source;  // the file on this computer
    bool operator==(const PackEntry&) const = default;
};

struct PackPlan {
    std::string scriptMember;
    std::vector<PackEntry> entries;    // the script first, then the colour file and the named files
    std::vector<std::string> missing;  // one Italian line per file the script names and lacks
    std::vector<std::string> refused;  // names that cannot travel (outside the root, absolute)
};

// `state` holds the loaded script (its path among them); `paths` the root it
// plays from.
PackPlan planPack(const Modulo1& state, const PathResolver& paths);

// Where a name written in a script lands in the show file, given the folder
// of the script's own member ("" at the top); empty when it leaves the show's
// folder or names a file of this computer only.
std::string memberForName(std::string_view written, const std::string& scriptFolder);

}  // namespace quilo
