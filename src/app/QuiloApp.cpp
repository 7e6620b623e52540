#include "app/QuiloApp.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <chrono>
#include <cmath>
#include <thread>

#include "bundle/io/ShowCache.h"
#include "cd/io/DiscSources.h"
#include "presentation/WakePlan.h"

namespace quilo {

QuiloApp::QuiloApp(const AppOptions& options, PortOverrides o)
    : options_(options),
      warnings_(o.warnings ? *o.warnings : realWarnings_),
      audio_(o.audio ? *o.audio : realAudio_),
      seconds_(o.seconds ? *o.seconds : realSeconds_),
      messages_(o.messages ? *o.messages : realMessages_),
      exit_(o.exit ? *o.exit : realExit_),
      sound_(o.sound ? *o.sound : realSound_),
      cd_([this] { return openDisc(); }, audio_),
      core_({cd_, prober_, presenter_, windows_, sound_, messages_, seconds_, exit_, warnings_,
             options.root}),
      show_(options, core_, cd_, displayView_, warnings_, [this] { syncViews(); }),
      remote_(options_, core_, cd_, show_, warnings_, [this] { syncViews(); }) {
    displayView_.setModel(core_.testo1());
    installFontSubstitutes();
    cd_.setPositionOffsetMs(options.syncOffsetMs);
    cd_.setEventSink([this](CdEvent event) {
        if (QThread::currentThread() == thread()) {
            handle([&] { core_.onCdEvent(event); });
        } else {
            QMetaObject::invokeMethod(
                this, [this, event] { handle([&] { core_.onCdEvent(event); }); },
                Qt::QueuedConnection);
        }
    });
    if (!o.audio) streamer_ = std::make_unique<CdStreamer>(cd_);
    connectViews();
}

bool QuiloApp::choseShowFile() {
    const std::string chosen = core_.state().scriptPath;
    if (!isShowFile(chosen)) return false;
    chosenShow_ = PathResolver(options_.root).resolve(chosen).string();
    QApplication::quit();
    return true;
}

// Opened on the user-interface thread (start-up, eject): the panel says why
// a disc cannot be played, and the show goes on without it.
std::unique_ptr<DiscSource> QuiloApp::openDisc() {
    std::string error;
    std::string named = options_.disc;
    if (named.empty() && !options_.demoDisc.empty() && !hasCdDrive()) {
        named = options_.demoDisc;
        if (!saidDemoDisc_) warnings_.warn("Nessuna unità CD: suona il disco della demo");
        saidDemoDisc_ = true;
    }
    auto source = openDiscSource(named, error);
    if (!source && error != tarvo1_.status) warnings_.warn(error);
    if (source) {
        for (const std::string& note : source->notes) warnings_.warn(note);
    }
    tarvo1_.status = source ? "" : error;
    return source;
}

QuiloApp::~QuiloApp() {
    if (timer1_ != 0) killTimer(timer1_);
    if (streamer_) streamer_->stop();
}

void QuiloApp::connectViews() {
    Player& player = core_.player();
    ButtonBar& bar = panelView_.buttonBar();
    bar.setAction(ButtonBar::Prev, [this] { handle([this] { cd_.buttonPrev(); }); });
    bar.setAction(ButtonBar::Next, [this] { handle([this] { cd_.buttonNext(); }); });
    bar.setAction(ButtonBar::Play, [this] { handle([this] { cd_.buttonPlay(); }); });
    bar.setAction(ButtonBar::Pause, [this] { handle([this] { cd_.buttonPause(); }); });
    bar.setAction(ButtonBar::Stop, [this] { handle([this] { cd_.buttonStop(); }); });
    bar.setAction(ButtonBar::Eject, [this] { handle([this] { cd_.buttonEject(); }); });
    panelView_.onQuit = [&player] { player.Command3_Click(); };
    panelView_.onClose = [&player] { player.Command3_Click(); };
    panelView_.onAllegato = [this, &player] { handle([&] { player.Command7_Click(); }); };
    panelView_.onText6Edited = [this, &player](const std::string& text) {
        handle([&] { player.setText6(text); });
    };
    Chooser& chooser = core_.chooser();
    chooserView_.onQuit = [&player] { player.Command5_Click(); };
    chooserView_.onClose = [&player] { player.Command5_Click(); };
    chooserView_.onLettore = [this, &player] {
        if (choseShowFile()) return;
        handle([&] {
            player.Command1_Click();
            show_.afterLettore();
        });
    };
    chooserView_.onDrive = [this, &chooser](const std::string& drive) {
        handle([&] { chooser.Drive1_Change(drive); });
    };
    chooserView_.onFolder = [this, &chooser](const std::filesystem::path& folder) {
        handle([&] { chooser.Dir1_Change(folder); });
    };
    chooserView_.onFile = [this, &chooser](int index) {
        handle([&] { chooser.File1_Click(index); });
    };
    displayView_.setMouseHandler(
        [this](int button) { handle([&] { core_.events().Form_MouseDown(button); }); });
    displayView_.setCloseHandler([this, &player] { handle([&] { player.displayClosed(); }); });
    const auto onKey = [this](int key) {
        bool used = false;
        handle([&] { used = show_.onKey(key); });
        return used;
    };
    displayView_.setKeyHandler(onKey);
    panelView_.onKey = onKey;  // what the panel's boxes and buttons leave
    panelView_.onJoin = [this] { remote_.join(); };
    presenter_.setMirror([this] { remote_.mirror(); });
}

std::optional<std::string> QuiloApp::start() {
    if (streamer_) streamer_->start();
    if (options_.screen >= 0) {
        const auto screens = QGuiApplication::screens();
        if (options_.screen < screens.size()) {
            displayView_.setScreen(screens[options_.screen]);
            displayView_.setGeometry(screens[options_.screen]->geometry());
        } else {
            warnings_.warn("schermo " + std::to_string(options_.screen) +
                           " inesistente; si usa il principale");
        }
    }
    auto failure = core_.startUp().Form_Load();
    if (!failure) show_.afterStartUp();
    if (!failure) remote_.start();
    syncViews();
    return failure;
}

void QuiloApp::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer1_) return;
    killTimer(timer1_);
    timer1_ = 0;
    // The timer was set a little early: the last moments are slept exactly.
    if (dueAt_ && std::chrono::steady_clock::now() < *dueAt_)
        std::this_thread::sleep_until(*dueAt_);
    dueAt_.reset();
    tick();
}

void QuiloApp::scheduleTick() {
    WakeInputs in;
    in.clockEnabled = core_.clock().enabled;
    if (const auto ahead = cd_.nextSecond()) {
        in.secondsToNextCdSecond = ahead->microseconds / 1e6;
        in.secondUnread = ahead->second != secondTicked_;
    }
    in.secondsToPauseEnd = core_.clock().secondsUntilPauseEnds();
    in.panelVisible = tarvo1_.visible;
    if (timer1_ != 0) killTimer(timer1_);
    timer1_ = 0;
    dueAt_.reset();
    const auto wake = nextWake(in);
    if (!wake) return;
    // Timers fire on whole milliseconds and can be a millisecond late: for a
    // moment that matters, wake up to 2 ms early and sleep the rest exactly.
    constexpr double kEarlySeconds = 0.002;
    constexpr auto kPastTheMoment = std::chrono::microseconds(200);
    int ms = static_cast<int>(std::ceil(wake->seconds * 1000.0));
    if (wake->exact) {
        ms = static_cast<int>(std::max(0.0, std::floor((wake->seconds - kEarlySeconds) * 1000.0)));
        dueAt_ = std::chrono::steady_clock::now() +
                 std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                     std::chrono::duration<double>(wake->seconds)) +
                 kPastTheMoment;
    }
    timer1_ = startTimer(ms, Qt::PreciseTimer);
}

// A disc that cannot be read (a scratch, a slow or failing drive, a cut
// image) plays silence there: said on the terminal, at most every few seconds.
void QuiloApp::sayUnreadSectors() {
    constexpr auto kEvery = std::chrono::seconds(5);
    const auto now = std::chrono::steady_clock::now();
    if (now - lastReadWarning_ < kEvery) return;
    const auto failed = cd_.takeReadFailures();
    if (!failed) return;
    lastReadWarning_ = now;
    warnings_.warn("il disco non si legge da " + failed->first.text() + " (" +
                   std::to_string(failed->sectors) + " settori): al loro posto silenzio");
}

void QuiloApp::tick() {
    // Read before the tick's own reading, so never past the second it handles.
    secondTicked_ = cd_.position() & kWithoutFrames;
    core_.clock().Timer1_Timer();
    syncViews();
}

void QuiloApp::syncViews() {
    scheduleTick();
    sayUnreadSectors();

    panelView_.sync(tarvo1_);
    panelView_.buttonBar().sync(cd_.mode());
    Chooser& chooser = core_.chooser();
    chooserView_.sync(
        core_.chooserModel(), [&chooser] { return chooser.subfolders(); }, chooser.driveRoot());

    const bool displayVisible = core_.testo1().visible;
    if (displayVisible != displayView_.isVisible()) {
        if (!displayVisible) {
            displayView_.hide();
        } else {
            displayView_.showFilling(options_.screen >= 0 || show_.fullScreen());
        }
        // The panel stays in front of the display form.
        if (tarvo1_.visible) panelView_.raise();
    }
    show_.afterTick();
    remote_.publish();
    remote_.mirror();
    displayView_.updateIfChanged();
}

}  // namespace quilo
