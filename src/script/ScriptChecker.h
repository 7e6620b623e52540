#pragma once
// Reads a script as the player would and finds what will go wrong when it
// plays, so that an author can fix it before the show: errors (a refused
// script, lines too short for their command, colours that do not exist, blocks
// that never close, files that are not there) and warnings, each saying what
// the player will do instead (cues out of order or sharing a time, pictures
// with no time for their transition, backgrounds past the edge or not 4:3,
// blanks after a letter, missing colour digits, header numbers out of place,
// a line after a picture that times it, line ends of two kinds, ...).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shared/Modulo1.h"
#include "shared/PathResolver.h"
#include "shared/PictureProber.h"
#include "shared/SoundCheck.h"

namespace quilo {

struct Diagnostic {
    int line = 0;  // 1-based
    bool error = false;
    std::string text;
    bool operator==(const Diagnostic&) const = default;
};

struct CheckReport {
    bool readable = true;  // false: the file could not be read at all
    std::vector<Diagnostic> diagnostics;
    int errors() const;
    int warnings() const;
};

// How the named files are tried: each one given decodes the file as the
// player will; without them a file only has to exist as a regular file.
// With the disc the show will play (each track's length in sectors), every
// cue is checked against its track too.
struct FileChecks {
    PictureProber* pictures = nullptr;
    SoundCheck* sounds = nullptr;
    std::optional<std::vector<std::int32_t>> disc;
};

// `text`, when given, is read instead of the file (a script being edited).
CheckReport checkScript(const std::string& path, const PathResolver& paths, FileChecks checks = {},
                        const std::optional<std::string>& text = std::nullopt);

// The findings on a script already loaded into `state`, in the order found.
std::vector<Diagnostic> checkLoadedScript(const Modulo1& state, const PathResolver& paths,
                                          FileChecks checks = {});

// Orders the findings by line, keeping the order of those on one line.
void sortByLine(CheckReport& report);

// The report as the tool prints it: "PATH:LINE: errore: TEXT" lines and a summary.
std::string formatReport(const std::string& path, const CheckReport& report);

// The line the tool adds when it was given no disc: the cues' seconds were
// not checked against their tracks.
std::string uncheckedDiscNote(const std::string& path);

// Checks the colour file under the root by the player's own rules, line by
// line: without six numbers the player will not start.
CheckReport checkColourFile(const PathResolver& paths);

}  // namespace quilo
