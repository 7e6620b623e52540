// Loads arbitrary bytes as a presentation script and plays it through the line
// reader and every command against the core, with fakes at every port, at
// every time stamp the script names. Pictures get sizes made from their names
// (some none at all), so the fitting and transitions see every shape.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string_view>

#include "app/core/PlaybackClock.h"
#include "display/DisplayDefaults.h"
#include "script/LineReader.h"
#include "script/ScriptLoader.h"
#include "script/commands/ScriptCommands.h"
#include "support/CommandFakes.h"
#include "support/DisplayFakes.h"
#include "support/FakeCdDevice.h"

namespace {

using namespace quilo;
using namespace quilo::testing;

class NamedSizes : public PictureProber {
  public:
    std::optional<PixelSize> pixelSize(const std::string& file) override {
        const std::size_t h = std::hash<std::string>{}(file);
        if (h % 7 == 0) return std::nullopt;
        return PixelSize{static_cast<int>(1 + h % 9000), static_cast<int>(1 + (h / 9000) % 9000)};
    }
};

class Quiet : public Presenter, public Windows, public Warnings {
  public:
    void repaintNow(Repaint) override {}
    void showTransitionFrame() override {}
    void bringToFront(Window) override {}
    void warn(const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Modulo1 state;
    DisplayForm testo1;
    PanelModel panel;
    FakeCdDevice cd;
    NamedSizes pictures;
    Quiet quiet;
    RecordingSound sound;
    RecordingMessages messages;
    ManualSeconds seconds;
    const PathResolver paths("/nonexistent-quilo-root");
    ScriptFiles files(state, paths);
    ImagePanes panes(state, testo1, pictures, quiet, files, quiet);
    DisplayEvents events(testo1, panel, quiet, quiet);
    DisplayDefaults defaults(state, testo1, panes, events);
    ScriptCommands commands(state, testo1, defaults, panes,
                            {cd, quiet, sound, messages, seconds, files});
    CdReadout readout(state, cd, panel);
    LineReader reader(state, testo1, readout, commands);
    PlaybackClock clock(state, panel, cd, reader, seconds);

    state.scriptPath = "/nonexistent-quilo-root/Allegato/fuzz.txt";
    ScriptLoader loader(state, paths);
    if (loader.loadBytes(std::string_view(reinterpret_cast<const char*>(data), size),
                         state.scriptPath)) {
        return 0;
    }
    defaults.Tdefault();

    // Every time stamp the script names, in file order, each for a few ticks.
    std::set<std::int32_t> seen;
    for (int i = 0; i < state.lineCount && seen.size() < 200; ++i) {
        const DecodedLine& line = state.scriptLines.decoded(i);
        if (!seen.insert(line.packedTime).second) continue;
        cd.at(line.track & 255, line.minutes & 255, line.seconds & 255, i % 75);
        for (int tick = 0; tick < 3; ++tick) {
            seconds.now += 0.4f;
            clock.Timer1_Timer();
        }
    }
    return 0;
}
