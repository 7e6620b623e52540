// Measures what playing the CD costs: the process's CPU time while the
// streaming thread plays N seconds (default 30) into the sound device (or the
// silent real-time output when there is none), and the largest gap between the
// reported and the heard position with the manual output.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "audio/CdStreamer.h"
#include "audio/ServerAudioOutput.h"
#include "cd/CdControl.h"
#include "cd/ManualAudioOutput.h"

namespace {

using namespace quilo;

class ToneDisc : public DiscSource {
  public:
    const std::vector<DiscTrack>& tracks() const override { return toc_; }
    bool readSector(std::int32_t sector, std::uint8_t* out) override {
        for (int i = 0; i < kSectorBytes; ++i)
            out[i] = static_cast<std::uint8_t>((sector + i) * 31);
        return true;
    }

  private:
    std::vector<DiscTrack> toc_{{0, 75 * 600}};
};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::int64_t largestGapFrames() {
    ManualAudioOutput output;
    CdControl cd([] { return std::make_unique<ToneDisc>(); }, output);
    cd.command(CdCommand::Open);
    cd.command(CdCommand::Play);
    std::int64_t gap = 0;
    for (int step = 0; step < 20000; ++step) {
        cd.pump();
        output.play((step * 131) % 1500);
        cd.pump();
        const std::int64_t heard = output.heardFrames / kFramesPerSector;
        gap = std::max<std::int64_t>(gap, std::llabs(heard - cd.heardSector()));
    }
    return gap;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    std::printf("largest gap between reported and heard position: %lld frame(s)\n",
                static_cast<long long>(largestGapFrames()));

    ServerAudioOutput output;
    CdControl cd([] { return std::make_unique<ToneDisc>(); }, output);
    CdStreamer streamer(cd);
    streamer.start();
    cd.command(CdCommand::Open);
    cd.command(CdCommand::Play);
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double cpu = cpuSeconds() - cpuBefore;
    const double elapsed = wall.nsecsElapsed() / 1e9;
    const std::int32_t sectors = cd.heardSector();
    const bool device = output.usingSoundDevice();  // the stream closes with the streamer
    streamer.stop();
    std::printf("output: %s\n", device ? "sound device" : "silent real-time output");
    std::printf("played %.2f s of audio in %.2f s; CPU %.3f s = %.2f %% of one core\n",
                sectors / 75.0, elapsed, cpu, 100.0 * cpu / elapsed);
    return 0;
}
