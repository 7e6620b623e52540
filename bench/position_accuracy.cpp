// How far the position the program reads is from the sample being heard:
//   position_accuracy [SECONDS]   (default 600; needs a sound server)
// plays a disc with a click at the first sample of every second through the
// real audio path (CD control, streaming thread, sound server), pausing,
// resuming, seeking and stopping along the way. A second thread reads the
// position once a millisecond; the sink's monitor says when each click was
// heard. At that moment the position read should be a whole second of the
// disc: the difference, in milliseconds, is the error.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include <QCoreApplication>

#include "MonitorClicks.h"
#include "audio/CdStreamer.h"
#include "audio/ServerAudioOutput.h"
#include "cd/CdControl.h"
#include "cd/ClickDisc.h"

namespace {

using namespace quilo;

struct Reading {
    double at;
    std::int64_t frame;
    bool playing;
};

void sleepSeconds(double s) {
    std::this_thread::sleep_for(std::chrono::duration<double>(s));
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p / 100.0 * double(v.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 600;
    ServerAudioOutput output;
    CdControl cd([] { return std::make_unique<ClickDisc>(3000); }, output);
    CdStreamer streamer(cd);
    streamer.start();
    cd.command(CdCommand::Open);
    cd.setTimeFormat(kTimeFormatTmsf);

    const double start = bench::monotonicNow();
    const double until = start + seconds + 1;
    std::mutex lock;
    std::vector<double> clicks;
    std::vector<Reading> readings;
    std::thread ear([&] {
        bench::listenForClicks(until, [&](double t) {
            std::lock_guard hold(lock);
            clicks.push_back(t);
        });
    });
    std::atomic<bool> done = false;
    std::thread reader([&] {
        for (double next = bench::monotonicNow(); !done; next += 0.001) {
            std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
                std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                    std::chrono::duration<double>(next))));
            const double before = bench::monotonicNow();
            const std::int64_t frame = cd.heardFrame();
            const bool playing = cd.mode() == CdMode::Playing;
            std::lock_guard hold(lock);
            readings.push_back({(before + bench::monotonicNow()) / 2, frame, playing});
        }
    });

    sleepSeconds(3.0);  // the monitor's timing settles in its first second
    cd.buttonPlay();
    int round = 0;
    std::srand(7);
    while (bench::monotonicNow() + 30 < until) {
        sleepSeconds(12.3);
        if (std::getenv("QUILO_POSITION_ALL"))
            std::printf("pause %.1f\n", bench::monotonicNow() - start);
        cd.buttonPause();
        sleepSeconds(2.1);
        cd.buttonPlay();
        sleepSeconds(9.7);
        const int to = 10 + std::rand() % 2500;  // seconds into the disc, a sector boundary
        cd.setTo(CdPosition{1, to / 60, to % 60, (std::rand() % 75)}.packed());
        cd.command(CdCommand::Seek);
        if (std::getenv("QUILO_POSITION_ALL"))
            std::printf("seek %.1f\n", bench::monotonicNow() - start);
        if (++round % 3 == 0) {
            sleepSeconds(4.4);
            cd.buttonStop();
            if (std::getenv("QUILO_POSITION_ALL"))
                std::printf("stop %.1f\n", bench::monotonicNow() - start);
            sleepSeconds(1.0);
            cd.buttonPlay();
        }
    }
    sleepSeconds(std::max(0.0, until - bench::monotonicNow()));
    done = true;
    reader.join();
    ear.join();
    streamer.stop();

    // At each heard click, the position read (between the two readings
    // around it, both while playing and less than 3 ms apart) against the
    // nearest whole second of the disc.
    std::vector<double> errors;
    for (double click : clicks) {
        const auto after = std::lower_bound(readings.begin(), readings.end(), click,
                                            [](const Reading& r, double t) { return r.at < t; });
        if (after == readings.begin() || after == readings.end()) continue;
        const Reading& a = *(after - 1);
        const Reading& b = *after;
        if (!a.playing || !b.playing || b.at - a.at > 0.003 || b.frame < a.frame ||
            b.frame - a.frame > 300) {
            continue;
        }
        const double frame =
            double(a.frame) + double(b.frame - a.frame) * (click - a.at) / (b.at - a.at);
        const double nearest = std::round(frame / kSampleRate) * kSampleRate;
        errors.push_back((frame - nearest) / kSampleRate * 1000.0);
        if (std::getenv("QUILO_POSITION_ALL"))
            std::printf("%.1f %+.2f\n", click - start, errors.back());
    }
    if (errors.empty()) {
        std::printf("no click heard while playing (%zu clicks)\n", clicks.size());
        return 1;
    }
    std::vector<double> sizes;
    for (double e : errors) sizes.push_back(std::fabs(e));
    const auto over = std::count_if(sizes.begin(), sizes.end(), [](double e) { return e > 2; });
    std::printf(
        "%.0f s with %d rounds of pause, seek and stop: %zu clicks compared\n"
        "position - heard, ms: median %+.2f  p99 |%.2f|  max |%.2f|  min %+.2f  max %+.2f  "
        "over 2 ms: %ld\n",
        seconds, round, errors.size(), percentile(errors, 50), percentile(sizes, 99),
        *std::max_element(sizes.begin(), sizes.end()),
        *std::min_element(errors.begin(), errors.end()),
        *std::max_element(errors.begin(), errors.end()), static_cast<long>(over));
    return 0;
}
