#pragma once
// Opens a show file for playing: its members are unpacked into a folder of
// the user's cache (one per show, named by the hash of its list), checked
// whole before the folder takes its name, so a folder under that name is
// always complete. A show opened again plays at once from its folder, after
// checking each file's size and time against what was unpacked; nothing is
// unpacked twice. Then its script is checked for names that would reach out
// of the folder.

#include <optional>
#include <string>

#include "bundle/ShowManifest.h"
#include "bundle/io/BundleReader.h"

namespace quilo {

struct OpenedShow {
    std::string folder;  // stands for drive C:
    std::string script;  // the script's file in it
    std::string disc;    // the music's CUE sheet in it; empty when the show has none
    ShowManifest manifest;
    bool reused = false;  // opened from a folder unpacked before
};

// Whether a path names a show file (".quilo", any letter case).
bool isShowFile(const std::string& path);

// $XDG_CACHE_HOME/quilo/spettacoli (~/.cache when unset).
std::string showCacheFolder();

// The show ready to play, or nothing with `error` saying why in Italian.
std::optional<OpenedShow> openShowFile(const std::string& path, std::string& error,
                                       const ReadProgress& progress = {});

// Writes the show file at `path` again from the show's folder: the script as
// it is there now, every other member as it was unpacked (checked against
// its hash, so nothing changed behind the author's back goes in). The file
// is replaced whole (written beside it, then renamed) and the old one kept
// as "PATH.bak". `show.manifest` becomes the new list.
bool saveShowFile(const std::string& path, OpenedShow& show, std::string& error);

// For a program's command line: when `script` names a show file, opens it
// and points `script` and `root` at its folder, and `disc` at its music
// when the show carries it and `disc` is still empty (`keepDisc`: never).
// False after saying why, after "PROGRAM: ", on the standard error.
bool takeShowFile(const char* program, std::string& script, std::string& root, std::string& disc,
                  bool keepDisc = false);

}  // namespace quilo
