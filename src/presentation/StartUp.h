#pragma once
// Start-up (Form_Load): the forms in their first state, the chooser on the
// script folder, the CD opened and read, the colour table loaded. The only
// step that can stop the program is a colour table it cannot use.

#include <optional>
#include <string>

#include "cd/CdReadout.h"
#include "chooser/Chooser.h"
#include "display/Colours.h"
#include "presentation/PlaybackClock.h"
#include "shared/Windows.h"

namespace quilo {

struct StartUpParts {
    Modulo1& state;
    DisplayForm& testo1;
    PanelModel& tarvo1;
    ChooserModel& chooserModel;
    Chooser& chooser;
    CdDevice& cd;
    CdReadout& readout;
    ColourTable& colours;
    PlaybackClock& clock;
    Windows& windows;
};

class StartUp {
  public:
    explicit StartUp(StartUpParts parts) : p_(parts) {}

    // The text of the failure when the program cannot start.
    [[nodiscard]] std::optional<std::string> Form_Load();

  private:
    StartUpParts p_;
};

}  // namespace quilo
