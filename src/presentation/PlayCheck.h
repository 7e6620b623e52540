#pragma once
// The checks that need the script played rather than read: what is on the
// display when each caption arrives. The script plays through the simulation
// on a silent disc just long enough for its cues, so nothing is heard or shown.

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "presentation/Simulation.h"
#include "script/ScriptChecker.h"
#include "shared/Modulo1.h"
#include "shared/PictureProber.h"
#include "shared/SoundCheck.h"

namespace quilo {

// Plays the script on a silent disc just long enough for its cues, telling
// `onCue` of each cue with the display after it and the script's lines as
// the loader read them; false when the player would not take the script.
bool playEveryCue(const std::string& script, const std::string& root, PictureProber& pictures,
                  SoundCheck& sounds, const std::optional<std::string>& text,
                  const std::function<void(const CueReport&, const Modulo1&)>& onCue);

// Warnings for captions that arrive under a picture and so are never seen, and
// for pictures drawn partly past the display's edge.
// `text`, when given, is played instead of the file's (a script being edited).
// `ran`, when given, gets the lines (1-based) of every cue that ran.
std::vector<Diagnostic> checkByPlaying(const std::string& script, const std::string& root,
                                       PictureProber& pictures, SoundCheck& sounds,
                                       const std::optional<std::string>& text = std::nullopt,
                                       std::set<int>* ran = nullptr);

// Everything quilo-check says of a script: what reading it finds, and what
// playing it finds whenever the player would take it, errors or not. A cue
// out of order is said to run at its time or never, as the play found; a cue
// after the show's closing line never runs. With `disc` (each track's length
// in sectors) the cues are checked against it too.
CheckReport checkScriptFully(const std::string& script, const std::string& root,
                             PictureProber& pictures, SoundCheck& sounds,
                             const std::optional<std::string>& text = std::nullopt,
                             const std::optional<std::vector<std::int32_t>>& disc = std::nullopt);

}  // namespace quilo
