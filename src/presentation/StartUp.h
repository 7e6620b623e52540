#pragma once
// Start-up (Form_Load), apart from the user's buttons because it runs once
// and needs the colour table and the disc, which nothing else opens. Without
// a usable colour table no show could be coloured, so that is the one
// failure that stops the program; a missing disc only says so on the panel.

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
