#include "presentation/PlayCheck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <ostream>
#include <set>

#include "display/CaptionCover.h"
#include "presentation/CueJumps.h"
#include "presentation/Simulation.h"
#include "script/PicturePlacement.h"
#include "script/ScriptLoader.h"
#include "script/check/LineForm.h"
#include "shared/CdPosition.h"

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

bool placesPicture(const std::string& letter) {
    return letter == "M" || letter == "A" || letter == "Z" || letter == "F" || letter == "R";
}

std::string percent(double share) {
    return std::to_string(static_cast<int>(std::floor(share * 100))) + " %";
}

// The picture on view after a picture cue, when part of it lies past the
// display's edge: what is seen of it, and the largest size of its proportions
// the letter would show whole.
std::optional<Diagnostic> cutPicture(const CueReport& cue, const Modulo1& state) {
    const DisplayForm& form = cue.display;
    const ImagePane* pane = nullptr;
    for (int i : {1, 2})
        if (form.ImgEdit[i].visible && form.ImgEdit[i].hasPicture()) pane = &form.ImgEdit[i];
    if (!pane) return std::nullopt;
    const Geometry& g = pane->geometry;
    const ShownShare shown = shownShare(g.left, g.top, pane->drawWidth, pane->drawHeight);
    if (!visiblyCut(shown)) return std::nullopt;
    const int index = cue.line - 1;
    const int next = std::min(index + 1, LineTable::kSize - 1);
    const std::int32_t seconds = secondsBetween(state.scriptLines.decoded(index).seconds,
                                                state.scriptLines.decoded(next).seconds);
    const Geometry& area = form.Label2[0].geometry;  // the caption area the picture is fitted to
    const PixelSize whole =
        largestWholeLike(cue.letter, pane->pixelWidth, pane->pixelHeight,
                         static_cast<int>(area.width), static_cast<int>(area.height), seconds);
    const std::string letter = "\u00AB" + cue.letter + "\u00BB";
    std::string text =
        "l'immagine \u00AB" + pane->source + "\u00BB (" + std::to_string(pane->pixelWidth) + " x " +
        std::to_string(pane->pixelHeight) + " pixel) con " + letter + " \u00E8 disegnata a " +
        std::to_string(std::lround(pane->drawWidth / pane->pixelWidth)) +
        " punti per pixel ed esce dallo schermo: se ne vede il " + percent(shown.across) +
        " in larghezza e il " + percent(shown.down) + " in altezza";
    if (whole.width > 0) {
        text += "; con " + letter + (cue.letter == "Z" && seconds >= 7 ? " e questo tempo" : "") +
                " un'immagine di queste proporzioni si vede intera fino a " +
                std::to_string(whole.width) + " x " + std::to_string(whole.height) + " pixel";
    }
    return Diagnostic{cue.line, false, text};
}

// The line (0-based) the reader waits at when the disc reaches `line`'s
// second: an earlier line of the same track both of whose minutes and
// seconds are later. None when the play found no such line.
std::optional<int> heldBy(const Modulo1& state, int line) {
    const DecodedLine& d = state.scriptLines.decoded(line);
    for (int k = line - 1; k >= 0; --k) {
        const DecodedLine& e = state.scriptLines.decoded(k);
        if (e.track == d.track && e.minutes > d.minutes && e.seconds > d.seconds) return k;
    }
    return std::nullopt;
}

// The closing line ("E") that stops the show before `line`'s time, if one ran.
std::optional<int> stoppedBy(const Modulo1& state, int line, const std::set<int>& ran) {
    const DecodedLine& d = state.scriptLines.decoded(line);
    const std::int64_t at = discOrder({d.track, d.minutes, d.seconds, 0});
    for (const int shown : ran) {
        const DecodedLine& e = state.scriptLines.decoded(shown - 1);
        if (e.commandLetter == "E" && discOrder({e.track, e.minutes, e.seconds, 0}) < at)
            return shown - 1;
    }
    return std::nullopt;
}

std::string timeOf(const DecodedLine& d) {
    return CdPosition{d.track, d.minutes, d.seconds, 0}.text().substr(0, 8);
}

// What reading the script could only suspect, the play tells: whether a cue
// out of order runs, and that cues after the show's closing line never do.
void sayWhichCuesRun(CheckReport& report, const Modulo1& state, const std::set<int>& ran) {
    std::set<int> outOfOrder;
    for (Diagnostic& found : report.diagnostics) {
        if (found.text.rfind(kOutOfOrder, 0) != 0) continue;
        const int line = found.line - 1;
        const DecodedLine& d = state.scriptLines.decoded(line);
        outOfOrder.insert(found.line);
        if (ran.count(found.line)) {
            found.text = std::string(kOutOfOrder) +
                         ": viene prima di quello della riga precedente, ma viene eseguita lo "
                         "stesso al suo secondo, " +
                         timeOf(d);
        } else if (const auto held = heldBy(state, line)) {
            found.text = std::string(kOutOfOrder) +
                         ": la riga non verrà mai eseguita, perché quando il CD arriva al suo "
                         "secondo il lettore aspetta ancora la riga " +
                         std::to_string(*held + 1) + " (" +
                         timeOf(state.scriptLines.decoded(*held)) + "), che viene prima nel file";
        } else {
            found.text = std::string(kOutOfOrder) + ": la riga non verrà mai eseguita";
        }
    }
    for (int i = 0; i < state.lineCount && i < LineTable::kSize; ++i) {
        const DecodedLine& d = state.scriptLines.decoded(i);
        if (d.track < 1 || d.track > kLastTrack || ran.count(i + 1) || outOfOrder.count(i + 1))
            continue;
        if (const auto stop = stoppedBy(state, i, ran)) {
            report.diagnostics.push_back({i + 1, false,
                                          "lo spettacolo si ferma prima, alla riga " +
                                              std::to_string(*stop + 1) + " (\u00ABE\u00BB a " +
                                              timeOf(state.scriptLines.decoded(*stop)) +
                                              "): questa riga non verrà mai eseguita"});
        }
    }
}

}  // namespace

bool playEveryCue(const std::string& script, const std::string& root, PictureProber& pictures,
                  SoundCheck& sounds, const std::optional<std::string>& text,
                  const std::function<void(const CueReport&, const Modulo1&)>& onCue) {
    Modulo1 state;
    state.scriptPath = script;
    const PathResolver paths(root);
    ScriptLoader loader(state, paths);
    loader.useText(text);
    if (loader.MemorizzaLetturaRiga()) return false;
    const VirtualDisc disc = discFor(state);
    SimOptions options;
    options.script = script;
    options.root = root;
    options.trackSectors = disc.trackSectors;
    options.until = disc.until;
    options.clockEveryMs = kClockEveryMs;
    options.scriptText = text;
    options.onCue = [&](const CueReport& cue) { onCue(cue, state); };
    std::ostream nowhere(nullptr);
    return Simulation(options, pictures, sounds, nowhere, nowhere).run() == 0;
}

std::vector<Diagnostic> checkByPlaying(const std::string& script, const std::string& root,
                                       PictureProber& pictures, SoundCheck& sounds,
                                       const std::optional<std::string>& text, std::set<int>* ran) {
    std::vector<Diagnostic> found;
    std::set<int> warned;
    std::set<int> cut;
    playEveryCue(
        script, root, pictures, sounds, text, [&](const CueReport& cue, const Modulo1& state) {
            if (ran) ran->insert(cue.line);
            if (placesPicture(cue.letter) && cut.insert(cue.line).second) {
                if (auto picture = cutPicture(cue, state)) found.push_back(*picture);
            }
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
        });
    return found;
}

CheckReport checkScriptFully(const std::string& script, const std::string& root,
                             PictureProber& pictures, SoundCheck& sounds,
                             const std::optional<std::string>& text,
                             const std::optional<std::vector<std::int32_t>>& disc) {
    CheckReport report = checkScript(script, PathResolver(root), {&pictures, &sounds, disc}, text);
    std::set<int> ran;
    for (auto& found : checkByPlaying(script, root, pictures, sounds, text, &ran))
        report.diagnostics.push_back(std::move(found));
    Modulo1 state;
    state.scriptPath = script;
    const PathResolver paths(root);
    ScriptLoader loader(state, paths);
    loader.useText(text);
    if (!loader.MemorizzaLetturaRiga()) sayWhichCuesRun(report, state, ran);
    sortByLine(report);
    return report;
}

}  // namespace quilo
