#pragma once
// The whole presentation core in one object: the module state, the three
// forms' models and every object that works on them, wired once. The program,
// the tools and the tests each build one around their own ports; nothing in
// here knows whether it is on a screen, in a video or in a test.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cd/CdReadout.h"
#include "chooser/Chooser.h"
#include "display/Colours.h"
#include "display/DisplayDefaults.h"
#include "display/DisplayEvents.h"
#include "display/ImagePanes.h"
#include "presentation/CdNotifications.h"
#include "presentation/PlaybackClock.h"
#include "presentation/Player.h"
#include "presentation/Rehearsal.h"
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

    // Brings a started show to where it would be had it played from its
    // start to `target` (track, minutes, seconds): the reader and the
    // commands run second by second with the CD virtual, no sound, no message
    // box, every transition on its last frame and scripted pauses skipped
    // (the disc's time is what counts). The caller then moves the CD there.
    // False when the show stopped itself before `target`.
    bool catchUpTo(const CdPosition& target);

    // Keeps the show as it stands right after its start ("Lettore"), so that
    // a jump or a reload can take it from there again.
    void markShowStart();
    // Back to the show's start, then caught up to `target`.
    bool jumpTo(const CdPosition& target);
    // The seconds of the disc the script's cues name, in disc order, each once.
    std::vector<CdPosition> cueSeconds() const;
    // Reads the script file again. When the loader takes it, the show starts
    // over with it and is caught up to `target`; otherwise the loader's
    // refusal is returned and the show goes on untouched.
    std::optional<std::string> reloadScript(const CdPosition& target);

    // for tests and tools that look inside
    LineReader& reader() { return reader_; }
    DisplayDefaults& defaults() { return defaults_; }
    ImagePanes& panes() { return panes_; }
    ScriptCommands& commands() { return commands_; }
    ScriptLoader& loader() { return loader_; }
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

    int trackSeconds(int track);

    Rehearsal live_;
    struct ShowStart {
        Modulo1 state;
        DisplayForm form;
    };
    std::optional<ShowStart> showStart_;
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
