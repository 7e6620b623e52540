// Measures the real program under a real (virtual) X display:
//   app_measure LAUNCH_NS [--script NAME] [--seconds N] [--idle-before-play MS]
//               [quilo's options]
// prints the time from LAUNCH_NS (the wall clock in nanoseconds when the
// process was launched, `date +%s%N`) to the chooser's first paint, then
// chooses NAME (demo.txt), presses "Lettore", waits MS (0) as an operator
// may, presses Play, and reports the CPU time of the whole process over the
// next N (30) seconds of the presentation.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/QuiloApp.h"

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long long nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

class FirstPaint : public QObject {
  public:
    explicit FirstPaint(std::function<void()> then) : then_(std::move(then)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && then_) {
            auto then = std::move(then_);
            then_ = nullptr;
            QTimer::singleShot(0, then);
        }
        return false;
    }

  private:
    std::function<void()> then_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const long long launched = std::atoll(argv[1]);
    std::string script = "demo.txt";
    int seconds = 30;
    int idleMs = 0;
    QStringList arguments{QStringLiteral("quilo")};
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--script" && i + 1 < argc) {
            script = argv[++i];
        } else if (argument == "--idle-before-play" && i + 1 < argc) {
            idleMs = std::atoi(argv[++i]);
        } else if (argument == "--seconds" && i + 1 < argc) {
            seconds = std::atoi(argv[++i]);
        } else {
            arguments << QString::fromLocal8Bit(argv[i]);
        }
    }
    int exitCode = 0;
    auto options = quilo::parseOptions(arguments, exitCode);
    if (!options) return exitCode;
    options->settingsFile = "/tmp/quilo-app-measure.ini";  // the user's own stay untouched
    QApplication application(argc, argv);
    quilo::QuiloApp app(*options);
    double cpuAtPlay = 0;
    std::function<void()> play;
    FirstPaint firstPaint([&] {
        std::printf("start-up to chooser on screen: %.0f ms\n", (nowNs() - launched) / 1e6);
        const auto& files = app.chooserModel().files;
        const auto demo = std::find(files.begin(), files.end(), script);
        if (demo == files.end()) {
            std::fprintf(stderr, "app_measure: %s is not in the chooser\n", script.c_str());
            QApplication::exit(1);
            return;
        }
        app.chooserView().fileList()->setCurrentRow(static_cast<int>(demo - files.begin()));
        app.chooserView().lettoreButton()->click();
        QTimer::singleShot(idleMs, [&] { play(); });
    });
    play = [&] {
        app.panelView().buttonBar().button(quilo::ButtonBar::Play)->click();
        cpuAtPlay = cpuSeconds();
        QTimer::singleShot(seconds * 1000, [&] {
            const double cpu = cpuSeconds() - cpuAtPlay;
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            std::printf(
                "presentation played %d s at CD position %s:%s; CPU %.2f s = %.2f %% of one core; "
                "peak memory %ld MB\n",
                seconds, app.presentation().tarvo1().Text2.c_str(),
                app.presentation().tarvo1().Text3.c_str(), cpu, 100 * cpu / seconds,
                usage.ru_maxrss / 1024);
            QApplication::exit(0);  // quit() would ask the windows, which refuse to close
        });
    };
    app.chooserView().installEventFilter(&firstPaint);
    if (const auto failure = app.start()) {
        std::fprintf(stderr, "%s\n", failure->c_str());
        return 1;
    }
    return QApplication::exec();
}
