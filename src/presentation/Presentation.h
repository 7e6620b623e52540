#pragma once
// The whole presentation core in one object: the module state, the three
// forms' models and every object that works on them, wired once. The program,
// the tools and the tests each build one around their own ports; nothing in
// here knows whether it is on a screen, in a video or in a test.

#include <filesystem>

#include "cd/CdReadout.h"
#include "chooser/Chooser.h"
#include "display/Colours.h"
#include "display/DisplayDefaults.h"
#include "display/DisplayEvents.h"
#include "display/ImagePanes.h"
#include "presentation/CdNotifications.h"
#include "presentation/PlaybackClock.h"
#include "presentation/Player.h"
#include "presentation/StartUp.h"
#include "script/LineReader.h"
#include "script/ScriptLoader.h"
#include "script/commands/ScriptCommands.h"

namespace quilo {

// Everything the core touches outside itself.
struct PresentationPorts {
    CdDevice& cd;
    PictureProber& pictures;
    Presenter& presenter;
    Windows& windows;
    SoundPlayer& sounds;
    MessageBox& messages;
    SecondsClock& seconds;
    ProgramExit& exit;
    Warnings& warnings;
    std::filesystem::path root;  // the data root, drive C: of the scripts
    CommandTap* tap = nullptr;   // optional: sees every command the reader runs
};

class Presentation {
  public:
    explicit Presentation(PresentationPorts ports);
    Presentation(const Presentation&) = delete;
    Presentation& operator=(const Presentation&) = delete;

    // the models
    Modulo1& state() { return state_; }
    DisplayForm& testo1() { return testo1_; }
    PanelModel& tarvo1() { return tarvo1_; }
    ChooserModel& chooserModel() { return chooserModel_; }

    // where events enter
    StartUp& startUp() { return startUp_; }
    Player& player() { return player_; }
    Chooser& chooser() { return chooser_; }
    DisplayEvents& events() { return events_; }
    PlaybackClock& clock() { return clock_; }
    void onCdEvent(CdEvent event) { cdNotifications_.onCdEvent(event); }

    // for tests and tools that look inside
    LineReader& reader() { return reader_; }
    DisplayDefaults& defaults() { return defaults_; }
    ImagePanes& panes() { return panes_; }
    ScriptCommands& commands() { return commands_; }
    const PathResolver& paths() const { return paths_; }

  private:
    // Hands each command to the tap when there is one.
    class TappedCommands : public CommandRunner {
      public:
        TappedCommands(CommandRunner& commands, CommandTap* tap) : commands_(commands), tap_(tap) {}
        PassFlow run(ScriptCommand command) override {
            return tap_ ? tap_->run(command, commands_) : commands_.run(command);
        }

      private:
        CommandRunner& commands_;
        CommandTap* tap_;
    };

    Modulo1 state_;
    DisplayForm testo1_;
    PanelModel tarvo1_;
    ChooserModel chooserModel_;

    PathResolver paths_;
    ScriptFiles files_{state_, paths_};
    CdReadout readout_;
    ColourTable colours_{state_, paths_};
    ImagePanes panes_;
    DisplayEvents events_;
    DisplayDefaults defaults_{state_, testo1_, panes_, events_};
    ScriptLoader loader_{state_, paths_};
    ScriptCommands commands_;
    TappedCommands tapped_;
    LineReader reader_{state_, testo1_, readout_, tapped_};
    PlaybackClock clock_;
    Chooser chooser_;
    StartUp startUp_;
    Player player_;
    CdNotifications cdNotifications_;
};

}  // namespace quilo
