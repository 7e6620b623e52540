// Starting a show anywhere: catching a 2001-line script that spans 74 minutes
// up to its end, as `--from` and the cue keys do.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "presentation/Presentation.h"

namespace quilo {
namespace {

// Ports that do nothing; the disc is one 74-minute track.
class Nowhere : public CdDevice,
                public PictureProber,
                public Presenter,
                public Windows,
                public SoundPlayer,
                public MessageBox,
                public SecondsClock,
                public ProgramExit,
                public Warnings {
  public:
    void command(CdCommand) override {}
    void setTimeFormat(int) override {}
    std::uint32_t position() const override { return CdPosition{1, 0, 0, 0}.packed(); }
    int tracks() const override { return 1; }
    void setTrack(int) override {}
    std::uint32_t trackLength() const override { return 74; }  // 74:00:00 as packed MSF
    std::uint32_t trackPosition() const override { return 0; }
    void setTo(std::int32_t) override {}
    std::optional<PixelSize> pixelSize(const std::string&) override { return PixelSize{1024, 768}; }
    void repaintNow(Repaint) override {}
    void showTransitionFrame() override {}
    void bringToFront(Window) override {}
    bool play(const std::string&) override { return true; }
    void show(const std::string&) override {}
    float secondsSinceMidnight() override { return 36000.0f; }
    void quit() override {}
    void warn(const std::string&) override {}
};

void BM_CatchUpTo74Minutes(benchmark::State& state) {
    Nowhere nowhere;
    Presentation core({nowhere, nowhere, nowhere, nowhere, nowhere, nowhere, nowhere, nowhere,
                       nowhere, "/nonexistent-quilo-root"});
    Modulo1& s = core.state();
    const char* kinds[] = {"didascalia %04d12C", "sfondo %04d09B", "riga %04d14L",
                           "testo %04d",         "foto%04d.jpgA",  "foto%04d.jpgM"};
    char line[64];
    char body[48];
    for (int i = 0; i < 2000; ++i) {
        const int second = i * 4440 / 2000;
        std::snprintf(body, sizeof body, kinds[i % 6], i);
        std::snprintf(line, sizeof line, "01:%02d:%02d%s", second / 60, second % 60, body);
        s.scriptLines.assign(i, line);
    }
    s.scriptLines.assign(2000, "**");
    s.lineCount = 2001;
    s.scriptPath = "/nonexistent-quilo-root/Allegato/lungo.txt";
    core.markShowStart();
    for (auto _ : state) {
        core.jumpTo({1, 73, 59, 0});
        benchmark::DoNotOptimize(core.testo1());
    }
}
BENCHMARK(BM_CatchUpTo74Minutes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quilo

BENCHMARK_MAIN();
