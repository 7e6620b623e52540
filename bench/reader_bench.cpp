// One full pass of the line reader over a 2001-line script: lines decoded once
// at load (what the player does) against every examined line decoded afresh.
#include <benchmark/benchmark.h>

#include <string>

#include "script/LineReader.h"
#include "shared/CdDevice.h"
#include "shared/CdPosition.h"

namespace quilo {
namespace {

// Stands still at track 1, 0:30: every line is examined, none is due.
class StillDevice : public CdDevice {
  public:
    void command(CdCommand) override {}
    void setTimeFormat(int) override {}
    std::uint32_t position() const override { return CdPosition{1, 0, 30, 0}.packed(); }
    int tracks() const override { return 1; }
    void setTrack(int) override {}
    std::uint32_t trackLength() const override { return 0; }
    std::uint32_t trackPosition() const override { return 0; }
    void setTo(std::int32_t) override {}
};

class NoCommands : public CommandRunner {
  public:
    PassFlow run(ScriptCommand) override { return PassFlow::Continue; }
};

void fullPass(benchmark::State& bench, bool afresh) {
    Modulo1 state;
    for (int i = 0; i < 2000; ++i) {
        // Lines of track 2: never due and never an early stop on track 1.
        const int second = i % 60;
        const std::string stamp = std::string("02:0") + std::to_string(i / 600) + ":" +
                                  (second < 10 ? "0" : "") + std::to_string(second);
        state.scriptLines.assign(i, stamp + "A caption of ordinary length, Perché no12C");
    }
    state.scriptLines.assign(2000, "**");
    state.lineCount = 2001;
    DisplayForm testo1;
    PanelModel panel;
    StillDevice device;
    CdReadout readout(state, device, panel);
    NoCommands commands;
    LineReader reader(state, testo1, readout, commands);
    reader.setDecodeAfresh(afresh);
    for (auto _ : bench) {
        reader.LeggiRiga();
        benchmark::DoNotOptimize(state.resumeLine);
    }
    bench.SetItemsProcessed(bench.iterations() * 2001);
}

void BM_PassPreDecoded(benchmark::State& bench) {
    fullPass(bench, false);
}
void BM_PassDecodedAfresh(benchmark::State& bench) {
    fullPass(bench, true);
}

BENCHMARK(BM_PassPreDecoded);
BENCHMARK(BM_PassDecodedAfresh);

}  // namespace
}  // namespace quilo
