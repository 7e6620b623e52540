#pragma once
// The composition root: creates every object of the program, connects every
// view event to its handler, and after each handler mirrors the models into
// the views. Tests and tools may replace the ports that touch the world.

#include <QObject>
#include <QTimerEvent>
#include <chrono>
#include <memory>
#include <optional>

#include "app/Options.h"
#include "app/QtPorts.h"
#include "app/RemoteLink.h"
#include "app/ShowOperator.h"
#include "app/view/PanelView.h"
#include "audio/CdStreamer.h"
#include "audio/ServerAudioOutput.h"
#include "audio/ServerSoundPlayer.h"
#include "cd/CdControl.h"
#include "chooser/view/ChooserView.h"
#include "display/view/DisplayPresenter.h"
#include "display/view/DisplayView.h"
#include "display/view/QtPictureProber.h"
#include "presentation/Presentation.h"

namespace quilo {

// Ports a test may supply; each left empty gets the real one.
struct PortOverrides {
    AudioOutput* audio = nullptr;  // with one, no streaming thread runs: the caller pumps
    SecondsClock* seconds = nullptr;
    MessageBox* messages = nullptr;
    ProgramExit* exit = nullptr;
    SoundPlayer* sound = nullptr;
    Warnings* warnings = nullptr;
};

class QuiloApp : public QObject {
    Q_OBJECT
  public:
    explicit QuiloApp(const AppOptions& options, PortOverrides overrides = {});
    ~QuiloApp() override;

    // Start-up. The failure's text when the program cannot start.
    std::optional<std::string> start();

    // Mirrors every model into its view; runs after each handler.
    void syncViews();

    // A show file chosen with "Lettore": the program ends so that it can
    // start again on it, from the show's own folder.
    const std::optional<std::string>& chosenShow() const { return chosenShow_; }

    // For tests, tools and screenshots.
    Presentation& presentation() { return core_; }
    Modulo1& state() { return core_.state(); }
    DisplayForm& testo1() { return core_.testo1(); }
    ChooserModel& chooserModel() { return core_.chooserModel(); }
    CdControl& cd() { return cd_; }
    PlaybackClock& clock() { return core_.clock(); }
    PanelView& panelView() { return panelView_; }
    ChooserView& chooserView() { return chooserView_; }
    DisplayView& displayView() { return displayView_; }
    RemoteLink& remote() { return remote_; }

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    std::unique_ptr<DiscSource> openDisc();
    bool choseShowFile();
    void connectViews();
    void tick();
    void sayUnreadSectors();
    void scheduleTick();
    template <typename Handler>
    void handle(Handler handler) {
        handler();
        syncViews();
    }

    AppOptions options_;
    bool saidDemoDisc_ = false;  // the fallback to the demo's disc is said once
    // real ports (used unless overridden)
    StderrWarnings realWarnings_;
    Warnings& warnings_;
    ServerAudioOutput realAudio_{&warnings_};
    WallSeconds realSeconds_;
    QtMessageBox realMessages_;
    QtProgramExit realExit_;
    ServerSoundPlayer realSound_{&warnings_};
    QtPictureProber prober_;
    AudioOutput& audio_;
    SecondsClock& seconds_;
    MessageBox& messages_;
    ProgramExit& exit_;
    SoundPlayer& sound_;

    CdControl cd_;
    std::unique_ptr<CdStreamer> streamer_;

    // views; the display is handed its model once the core exists
    DisplayView displayView_;
    PanelView panelView_;
    ChooserView chooserView_;
    QtWindows windows_{panelView_, displayView_, chooserView_};
    DisplayPresenter presenter_{displayView_};

    Presentation core_;
    PanelModel& tarvo1_ = core_.tarvo1();
    ShowOperator show_;
    RemoteLink remote_;
    // Timer1: a precise single-shot timer, set after every handler and every
    // tick for the next moment a tick can change something.
    int timer1_ = 0;
    std::uint32_t secondTicked_ = 0;  // the second the last tick started in
    std::chrono::steady_clock::time_point lastReadWarning_{};
    std::optional<std::chrono::steady_clock::time_point> dueAt_;  // a moment to hit exactly
    std::optional<std::string> chosenShow_;
};

}  // namespace quilo
