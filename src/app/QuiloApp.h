#pragma once
// The composition root: creates every object of the program, connects every
// view event to its handler, and after each handler mirrors the models into
// the views. Tests and tools may replace the ports that touch the world.

#include <QObject>
#include <QTimerEvent>
#include <memory>

#include "app/Options.h"
#include "app/QtPorts.h"
#include "app/core/Player.h"
#include "app/view/PanelView.h"
#include "audio/PulseAudioOutput.h"
#include "audio/PulseSoundPlayer.h"
#include "cd/CdControl.h"
#include "cd/qt/CdStreamer.h"
#include "chooser/view/ChooserView.h"
#include "display/view/DisplayPresenter.h"
#include "display/view/DisplayView.h"
#include "display/view/QtPictureProber.h"
#include "script/commands/ScriptCommands.h"

namespace quilo {

// Ports a test may supply; each left empty gets the real one.
struct PortOverrides {
    AudioOutput* audio = nullptr;  // with one, no streaming thread runs: the caller pumps
    SecondsClock* seconds = nullptr;
    MessageBox* messages = nullptr;
    ProgramExit* exit = nullptr;
    SoundPlayer* sound = nullptr;
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

    // For tests, tools and screenshots.
    Modulo1& state() { return state_; }
    DisplayForm& testo1() { return testo1_; }
    PanelModel& tarvo1() { return tarvo1_; }
    ChooserModel& chooserModel() { return chooserModel_; }
    Player& player() { return player_; }
    CdControl& cd() { return cd_; }
    PlaybackClock& clock() { return clock_; }
    PanelView& panelView() { return panelView_; }
    ChooserView& chooserView() { return chooserView_; }
    DisplayView& displayView() { return displayView_; }

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    void connectViews();
    void onCdEvent(CdEvent event);
    void tick();
    template <typename Handler>
    void handle(Handler handler) {
        handler();
        syncViews();
    }

    AppOptions options_;
    // real ports (used unless overridden)
    PulseAudioOutput realAudio_{&warnings_};
    WallSeconds realSeconds_;
    QtMessageBox realMessages_;
    QtProgramExit realExit_;
    PulseSoundPlayer realSound_{&warnings_};
    StderrWarnings warnings_;
    QtPictureProber prober_;
    AudioOutput& audio_;
    SecondsClock& seconds_;
    MessageBox& messages_;
    ProgramExit& exit_;
    SoundPlayer& sound_;

    // models
    Modulo1 state_;
    DisplayForm testo1_;
    PanelModel tarvo1_;
    ChooserModel chooserModel_;

    // views
    DisplayView displayView_{testo1_};
    PanelView panelView_;
    ChooserView chooserView_;
    QtWindows windows_{panelView_, displayView_, chooserView_};
    DisplayPresenter presenter_{displayView_};

    // the core
    PathResolver paths_;
    ScriptFiles files_{state_, paths_};
    CdControl cd_;
    std::unique_ptr<CdStreamer> streamer_;
    CdReadout readout_{state_, cd_, tarvo1_};
    ColourTable colours_{state_, paths_};
    ImagePanes panes_{state_, testo1_, prober_, presenter_, files_, warnings_};
    DisplayEvents events_{testo1_, tarvo1_, presenter_, windows_};
    DisplayDefaults defaults_{state_, testo1_, panes_, events_};
    ScriptLoader loader_{state_, paths_};
    ScriptCommands commands_;
    LineReader reader_{state_, testo1_, readout_, commands_};
    PlaybackClock clock_{state_, tarvo1_, cd_, reader_, seconds_};
    Chooser chooser_{chooserModel_, state_, tarvo1_, paths_, warnings_};
    Player player_;
    // Timer1: a 1 ms precise timer, delivered straight to timerEvent.
    int timer1_ = 0;
};

}  // namespace quilo
