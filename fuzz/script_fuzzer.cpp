// Loads arbitrary bytes as a presentation script, checks it as quilo-check
// reads it, and plays it through the line reader and every command against
// the core, with fakes at every port, at every time stamp the script names. Pictures get sizes made
// from their names (some none at all), so the fitting and transitions see every shape.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string_view>

#include "presentation/Presentation.h"
#include "script/ScriptChecker.h"
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

class Quiet : public Presenter, public Windows, public Warnings, public ProgramExit {
  public:
    void repaintNow(Repaint) override {}
    void showTransitionFrame() override {}
    void bringToFront(Window) override {}
    void warn(const std::string&) override {}
    void quit() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FakeCdDevice cd;
    NamedSizes pictures;
    Quiet quiet;
    RecordingSound sound;
    RecordingMessages messages;
    ManualSeconds seconds;
    Presentation core({cd, pictures, quiet, quiet, sound, messages, seconds, quiet, quiet,
                       "/nonexistent-quilo-root"});
    Modulo1& state = core.state();
    state.scriptPath = "/nonexistent-quilo-root/Allegato/fuzz.txt";
    ScriptLoader loader(state, core.paths());
    if (loader.loadBytes(std::string_view(reinterpret_cast<const char*>(data), size),
                         state.scriptPath)) {
        return 0;
    }
    // The checker reads the same lines, warning by warning.
    checkLoadedScript(state, core.paths(), {&pictures, nullptr});
    core.defaults().Tdefault();

    // Every time stamp the script names, in file order, each for a few ticks.
    std::set<std::int32_t> seen;
    for (int i = 0; i < state.lineCount && seen.size() < 200; ++i) {
        const DecodedLine& line = state.scriptLines.decoded(i);
        if (!seen.insert(line.packedTime).second) continue;
        cd.at(line.track & 255, line.minutes & 255, line.seconds & 255, i % 75);
        for (int tick = 0; tick < 3; ++tick) {
            seconds.now += 0.4f;
            core.clock().Timer1_Timer();
        }
    }
    return 0;
}
