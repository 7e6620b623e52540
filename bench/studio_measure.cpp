// Measures quilo-studio as a user feels it, on a real disc and script:
//   studio_measure SCRIPT --root DIR --disc SOURCE
// - how long the waveform's peaks take, and the longest the window's event
//   loop stalls meanwhile (a 5 ms timer's worst lateness);
// - scrubbing: from a click on the timeline to the preview painted anew, at 30
//   places spread over the disc;
// - editing: from a nudge (Alt+arrow's action) to the list painted with it,
//   20 times on a cue in the middle of the script;
// - the share of a core used idle and while playing (10 s each; playing needs
//   a sound server), and the peak memory.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "display/view/QuietQtMessages.h"
#include "studio/app/StudioCommandLine.h"

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double peakMegabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

// Runs the event loop for `ms`, returning the share of a core used.
double coreShareOver(int ms) {
    const double cpu = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return (cpuSeconds() - cpu) / (wall.nsecsElapsed() / 1e9);
}

void printTimes(const char* what, std::vector<double> ms, const char* of) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    std::printf("%s: median %.1f ms, worst %.1f ms over %zu %s\n", what, ms[ms.size() / 2],
                ms.back(), ms.size(), of);
}

}  // namespace

int main(int argc, char** argv) {
    quilo::StudioOptions options;
    if (const auto status = quilo::parseStudioOptions(argc, argv, options)) return *status;
    quilo::quietQtMessages();
    QApplication application(argc, argv);
    QElapsedTimer clock;
    clock.start();
    quilo::StudioApp studio(options);
    double peaksSeconds = -1;
    QEventLoop reading;
    QObject::connect(&studio.peaks(), &quilo::PeakReader::finished, &reading, [&](double seconds) {
        peaksSeconds = seconds;
        reading.quit();
    });
    // The event loop's worst lateness while the peaks are read.
    QElapsedTimer since;
    since.start();
    qint64 worstLateMs = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { worstLateMs = std::max(worstLateMs, since.restart() - 5); });
    studio.start();
    probe.start(5);
    since.restart();
    QTimer::singleShot(120000, &reading, &QEventLoop::quit);
    reading.exec();
    probe.stop();
    std::printf("peaks: %.2f s (from start %.2f s); longest event-loop stall meanwhile: %lld ms\n",
                peaksSeconds, clock.nsecsElapsed() / 1e9, static_cast<long long>(worstLateMs));

    // Scrubbing: from a click to the preview painted.
    quilo::DisplayView& preview = studio.window().preview();
    const std::int32_t end = studio.cd().tracks() > 0 ? 74 * 60 * 75 : 0;
    std::mt19937 random(7);
    std::vector<double> ms;
    for (int i = 0; i < 30 && end > 0; ++i) {
        const std::int32_t sector = std::uniform_int_distribution<std::int32_t>(0, end - 1)(random);
        QElapsedTimer move;
        move.start();
        studio.window().timeline().onSeek(sector);
        preview.repaint();
        ms.push_back(move.nsecsElapsed() / 1e6);
        application.processEvents();
    }
    printTimes("scrub to preview", ms, "moves");

    // Editing: the key's action to the list painted anew.
    {
        const auto cues = quilo::cueLines(studio.editor().lineTexts());
        QWidget* list = studio.window().lineList().viewport();
        if (!cues.empty()) studio.window().selectRow(cues[cues.size() / 2]);
        std::vector<double> editMs;
        for (int i = 0; i < 20 && !cues.empty(); ++i) {
            QElapsedTimer edit;
            edit.start();
            studio.window().actions.nudge(i % 2 == 0 ? 1 : -1);
            list->repaint();
            editMs.push_back(edit.nsecsElapsed() / 1e6);
            application.processEvents();
        }
        printTimes("key to list", editMs, "nudges");
    }

    // Idle once the checker's first look at the script is over.
    if (studio.findings().diagnostics.empty()) {
        QEventLoop checking;
        QObject::connect(&studio.editor(), &quilo::StudioEditor::checked, &checking,
                         &QEventLoop::quit);
        QTimer::singleShot(60000, &checking, &QEventLoop::quit);
        checking.exec();
    }
    studio.window().actions.home();
    std::printf("idle: %.2f %% of a core\n", 100 * coreShareOver(10000));
    studio.window().actions.playPause();
    std::printf("playing: %.2f %% of a core\n", 100 * coreShareOver(10000));
    studio.window().actions.playPause();
    std::printf("peak memory: %.0f MB\n", peakMegabytes());
    return 0;
}
