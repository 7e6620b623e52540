#pragma once
// The player panel's behaviour and the program's flow: start-up (Form_Load),
// "Quit", "Allegato", the presentation start ("Lettore" in the chooser) and
// the CD control's notifications. Everything here changes models and talks to
// ports; the Qt views only mirror the models and forward events.

#include <optional>
#include <string>

#include "app/core/PlaybackClock.h"
#include "cd/CdReadout.h"
#include "chooser/core/Chooser.h"
#include "display/Colours.h"
#include "display/DisplayDefaults.h"
#include "display/DisplayEvents.h"
#include "script/ScriptLoader.h"
#include "shared/MessageBox.h"
#include "shared/ProgramExit.h"
#include "shared/Windows.h"

namespace quilo {

inline constexpr const char* kDefaultScript = "c:\\allegato\\nuovo.txt";
inline constexpr const char* kScriptFolder = "\\Allegato";

struct PlayerParts {
    Modulo1& state;
    DisplayForm& testo1;
    PanelModel& tarvo1;
    ChooserModel& chooserModel;
    Chooser& chooser;
    CdDevice& cd;
    CdReadout& readout;
    ColourTable& colours;
    DisplayDefaults& defaults;
    DisplayEvents& events;
    ScriptLoader& loader;
    PlaybackClock& clock;
    MessageBox& messages;
    Windows& windows;
    ProgramExit& exit;
};

class Player {
  public:
    explicit Player(PlayerParts parts) : p_(parts) {}

    // Start-up; the text of the failure when the program cannot start.
    [[nodiscard]] std::optional<std::string> Form_Load();

    void Command3_Click() { p_.exit.quit(); }  // "Quit" on the panel
    void Command5_Click() { p_.exit.quit(); }  // "Quit" on the chooser
    void Command7_Click();                     // "Allegato"
    void Command1_Click();                     // "Lettore"
    // The display window closed through its frame: as "Allegato", and the
    // window goes away.
    void displayClosed();
    // Text6 changed, by the user or by code.
    void Text6_Change() { p_.chooser.Text6_Change(); }
    void setText6(const std::string& text);

    void mmcontrol1_Done();
    void mmcontrol1_EjectClick();
    void mmcontrol1_EjectCompleted();
    void mmcontrol1_PlayCompleted();

  private:
    void resetTextBox();
    void applyCurrentColours();
    void refuse();

    PlayerParts p_;
};

}  // namespace quilo
