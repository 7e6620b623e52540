#pragma once
// Plays a presentation with no window and no sound, through the program's own
// start-up, presentation start, clock, reader and commands, in virtual time,
// and writes what happens as JSON Lines: one object for each line the reader
// runs (with its effects and the display after it), one for each resume of a
// scripted pause, and a last one saying why the run ended.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cd/DiscSource.h"
#include "display/DisplayForm.h"
#include "shared/PictureProber.h"
#include "shared/SoundCheck.h"
#include "shared/SoundPlayer.h"

namespace quilo {

// One cue as it ran: where, which line, and the display right after it (with
// every transition on its last frame).
struct CueReport {
    std::int64_t ms = 0;
    std::string position;  // "TT:MM:SS:FF"
    int line = 0;          // 1-based
    std::string letter;    // the command letter, "text" for a plain caption
    std::string text;      // the line as written
    const DisplayForm& display;
};

struct SimOptions {
    std::string script;
    std::string root;
    std::vector<std::int32_t> trackSectors;       // the virtual disc
    std::optional<std::array<int, 3>> until;      // track, minutes, seconds
    std::function<void(const CueReport&)> onCue;  // also told of every cue
    // How often the playback clock ticks, in virtual milliseconds. Checks that
    // only look at what each cue shows may tick less often, and run faster.
    int clockEveryMs = 1;
    std::string program = "quilo-sim";  // names the tool in its messages
    // The script's bytes, when they are not (yet) those of its file.
    std::optional<std::string> scriptText;
};

// Tells whether a sound file could be played; the simulation never plays it.
class Simulation {
  public:
    static constexpr std::int64_t kLimitMs = 2LL * 60 * 60 * 1000;

    Simulation(SimOptions options, PictureProber& pictures, SoundCheck& sounds, std::ostream& out,
               std::ostream& err)
        : options_(std::move(options)),
          pictures_(pictures),
          sounds_(sounds),
          out_(out),
          err_(err) {}

    // The exit status: 0 after a run, 1 when the program or the script cannot start.
    int run();

  private:
    SimOptions options_;
    PictureProber& pictures_;
    SoundCheck& sounds_;
    std::ostream& out_;
    std::ostream& err_;
};

// The table of contents of a disc and its code, as one JSON object.
std::string tocJson(std::unique_ptr<DiscSource> disc);

}  // namespace quilo
