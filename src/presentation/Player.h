#pragma once
// What the user's buttons do to the presentation: "Lettore" in the chooser
// starts it, "Allegato" on the panel goes back to the chooser, "Quit" ends the
// program, and the panel's script path box can be written.

#include <string>

#include "chooser/Chooser.h"
#include "display/DisplayDefaults.h"
#include "presentation/PlaybackClock.h"
#include "script/ScriptLoader.h"
#include "shared/MessageBox.h"
#include "shared/ProgramExit.h"
#include "shared/Windows.h"

namespace quilo {

struct PlayerParts {
    Modulo1& state;
    DisplayForm& testo1;
    PanelModel& tarvo1;
    ChooserModel& chooserModel;
    Chooser& chooser;
    CdDevice& cd;
    DisplayDefaults& defaults;
    ScriptLoader& loader;
    PlaybackClock& clock;
    MessageBox& messages;
    Windows& windows;
    ProgramExit& exit;
};

class Player {
  public:
    explicit Player(PlayerParts parts) : p_(parts) {}

    void Command3_Click() { p_.exit.quit(); }  // "Quit" on the panel
    void Command5_Click() { p_.exit.quit(); }  // "Quit" on the chooser
    void Command7_Click();                     // "Allegato"
    void Command1_Click();                     // "Lettore"
    // The display window closed through its frame: as "Allegato", and the
    // window goes away.
    void displayClosed();
    void setText6(const std::string& text);

  private:
    // A script that cannot start leaves "Lettore" usable for the next try.
    void refuse() { p_.chooserModel.lettoreEnabled = true; }

    PlayerParts p_;
};

}  // namespace quilo
