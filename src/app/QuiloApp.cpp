#include "app/QuiloApp.h"

#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <cmath>

#include "cd/io/DiscSources.h"

namespace quilo {

QuiloApp::QuiloApp(const AppOptions& options, PortOverrides o)
    : options_(options),
      audio_(o.audio ? *o.audio : realAudio_),
      seconds_(o.seconds ? *o.seconds : realSeconds_),
      messages_(o.messages ? *o.messages : realMessages_),
      exit_(o.exit ? *o.exit : realExit_),
      sound_(o.sound ? *o.sound : realSound_),
      paths_(options.root),
      cd_(
          [this, disc = options.disc]() -> std::unique_ptr<DiscSource> {
              // Opened on the user-interface thread (start-up, eject): the
              // panel says why a disc cannot be played, the show goes on.
              std::string error;
              auto source = openDiscSource(disc, error);
              if (!source && error != tarvo1_.status) warnings_.warn(error);
              if (source) {
                  for (const std::string& note : source->notes) warnings_.warn(note);
              }
              tarvo1_.status = source ? "" : error;
              return source;
          },
          audio_),
      commands_(state_, testo1_, defaults_, panes_,
                {cd_, presenter_, sound_, messages_, seconds_, files_}),
      player_({state_, testo1_, tarvo1_, chooserModel_, chooser_, cd_, readout_, colours_,
               defaults_, events_, loader_, clock_, messages_, windows_, exit_}) {
    installFontSubstitutes();
    cd_.setPositionOffset(
        static_cast<std::int32_t>(std::lround(options.syncOffsetMs * 75.0 / 1000.0)));
    cd_.setEventSink([this](CdEvent event) {
        if (QThread::currentThread() == thread()) {
            onCdEvent(event);
        } else {
            QMetaObject::invokeMethod(
                this, [this, event] { onCdEvent(event); }, Qt::QueuedConnection);
        }
    });
    if (!o.audio) streamer_ = std::make_unique<CdStreamer>(cd_);
    connectViews();
}

QuiloApp::~QuiloApp() {
    if (timer1_ != 0) killTimer(timer1_);
    if (streamer_) streamer_->stop();
}

void QuiloApp::connectViews() {
    ButtonBar& bar = panelView_.buttonBar();
    bar.setAction(ButtonBar::Prev, [this] { handle([this] { cd_.buttonPrev(); }); });
    bar.setAction(ButtonBar::Next, [this] { handle([this] { cd_.buttonNext(); }); });
    bar.setAction(ButtonBar::Play, [this] { handle([this] { cd_.buttonPlay(); }); });
    bar.setAction(ButtonBar::Pause, [this] { handle([this] { cd_.buttonPause(); }); });
    bar.setAction(ButtonBar::Stop, [this] { handle([this] { cd_.buttonStop(); }); });
    bar.setAction(ButtonBar::Eject, [this] { handle([this] { cd_.buttonEject(); }); });
    panelView_.onQuit = [this] { player_.Command3_Click(); };
    panelView_.onClose = [this] { player_.Command3_Click(); };
    panelView_.onAllegato = [this] { handle([this] { player_.Command7_Click(); }); };
    panelView_.onText6Edited = [this](const std::string& text) {
        handle([&] { player_.setText6(text); });
    };
    chooserView_.onQuit = [this] { player_.Command5_Click(); };
    chooserView_.onClose = [this] { player_.Command5_Click(); };
    chooserView_.onLettore = [this] { handle([this] { player_.Command1_Click(); }); };
    chooserView_.onDrive = [this](const std::string& drive) {
        handle([&] { chooser_.Drive1_Change(drive); });
    };
    chooserView_.onFolder = [this](const std::filesystem::path& folder) {
        handle([&] { chooser_.Dir1_Change(folder); });
    };
    chooserView_.onFile = [this](int index) { handle([&] { chooser_.File1_Click(index); }); };
    displayView_.setMouseHandler(
        [this](int button) { handle([&] { events_.Form_MouseDown(button); }); });
    displayView_.setCloseHandler([this] { handle([this] { player_.displayClosed(); }); });
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
    auto failure = player_.Form_Load();
    syncViews();
    return failure;
}

void QuiloApp::onCdEvent(CdEvent event) {
    handle([&] {
        switch (event) {
            case CdEvent::Done:
                player_.mmcontrol1_Done();
                break;
            case CdEvent::EjectClick:
                player_.mmcontrol1_EjectClick();
                break;
            case CdEvent::EjectCompleted:
                player_.mmcontrol1_EjectCompleted();
                break;
            case CdEvent::PlayCompleted:
                player_.mmcontrol1_PlayCompleted();
                break;
        }
    });
}

void QuiloApp::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timer1_) tick();
}

void QuiloApp::tick() {
    clock_.Timer1_Timer();
    syncViews();
}

void QuiloApp::syncViews() {
    if (clock_.enabled && timer1_ == 0) timer1_ = startTimer(1, Qt::PreciseTimer);
    if (!clock_.enabled && timer1_ != 0) {
        killTimer(timer1_);
        timer1_ = 0;
    }

    panelView_.sync(tarvo1_);
    panelView_.buttonBar().sync(cd_.mode());
    chooserView_.sync(
        chooserModel_, [this] { return chooser_.subfolders(); }, chooser_.driveRoot());

    if (testo1_.visible != displayView_.isVisible()) {
        if (!testo1_.visible) {
            displayView_.hide();
        } else if (options_.screen >= 0) {
            displayView_.showFullScreen();
        } else {
            displayView_.showMaximized();
        }
        // The panel stays in front of the display form.
        if (tarvo1_.visible) panelView_.raise();
    }
    displayView_.updateIfChanged();
}

}  // namespace quilo
