#include "tools/sim/PlayCheck.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <set>

#include "display/CaptionCover.h"
#include "script/ScriptLoader.h"
#include "shared/CdPosition.h"
#include "tools/sim/Simulation.h"

namespace quilo {
namespace {

// More than this share of a caption's text under a picture hides the caption.
constexpr double kHiddenShare = 0.5;
constexpr double kWhollyHidden = 0.9;
constexpr int kLastTrack = 98;  // 99 is the header's
constexpr int kTailSeconds = 5;
// A cue a few milliseconds late shows the same display.
constexpr int kClockEveryMs = 10;
constexpr int kLongestTrackSeconds = 100 * 60;

bool setsCaption(const std::string& letter) {
    static const std::set<std::string> letters{"C", "B", "E", "S", "P", "+", "text"};
    return letters.count(letter) > 0;
}

// The caption's first line, cut short, in quotes.
std::string quotedStart(const std::string& caption) {
    constexpr std::size_t kShown = 40;
    std::string line = caption.substr(0, caption.find_first_of("\r\n"));
    if (line.size() > kShown) line = line.substr(0, kShown) + "...";
    return "\u00AB" + line + "\u00BB";
}

// A disc whose tracks end a little after their last cue, and the point just
// after the script's last cue where the play can stop.
struct VirtualDisc {
    std::vector<std::int32_t> trackSectors;
    std::array<int, 3> until{};
};

VirtualDisc discFor(const Modulo1& state) {
    std::array<int, kLastTrack + 1> lastSecond{};
    lastSecond.fill(-1);
    int lastTrack = 1;
    for (int i = 0; i < state.lineCount; ++i) {
        const DecodedLine& d = state.scriptLines.decoded(i);
        if (d.track < 1 || d.track > kLastTrack) continue;
        const int at = std::clamp(d.minutes * 60 + d.seconds, 0, kLongestTrackSeconds);
        lastSecond[d.track] = std::max(lastSecond[d.track], at);
        lastTrack = std::max(lastTrack, static_cast<int>(d.track));
    }
    VirtualDisc disc;
    for (int t = 1; t <= lastTrack; ++t) {
        const int seconds = std::max(lastSecond[t], 0) + kTailSeconds;
        disc.trackSectors.push_back(seconds * kSectorsPerSecond);
    }
    const int end = std::max(lastSecond[lastTrack], 0) + 1;
    disc.until = {lastTrack, end / 60, end % 60};
    return disc;
}

}  // namespace

std::vector<Diagnostic> checkByPlaying(const std::string& script, const std::string& root,
                                       PictureProber& pictures, SoundCheck& sounds) {
    Modulo1 state;
    state.scriptPath = script;
    const PathResolver paths(root);
    if (ScriptLoader(state, paths).MemorizzaLetturaRiga()) return {};
    const VirtualDisc disc = discFor(state);

    std::vector<Diagnostic> found;
    std::set<int> warned;
    SimOptions options{script, root, disc.trackSectors, disc.until, {}, kClockEveryMs};
    options.onCue = [&](const CueReport& cue) {
        if (!setsCaption(cue.letter) || warned.count(cue.line)) return;
        const CaptionCover cover = captionCover(cue.display);
        if (cover.share <= kHiddenShare) return;
        warned.insert(cue.line);
        found.push_back({cue.line, false,
                         "la didascalia " + quotedStart(cue.display.Label2[0].caption) +
                             (cover.share < kWhollyHidden ? " resta in gran parte nascosta"
                                                          : " resta nascosta") +
                             " sotto l'immagine \u00AB" + cover.picture +
                             "\u00BB: le didascalie stanno sotto le immagini; la toglie prima "
                             "un testo semplice, un blocco \u00AB+\u00BB o una pausa"});
    };
    std::ostream nowhere(nullptr);
    Simulation(options, pictures, sounds, nowhere, nowhere).run();
    return found;
}

}  // namespace quilo
