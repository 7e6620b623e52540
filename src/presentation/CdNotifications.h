#pragma once
// What the presentation does when the CD control's own buttons report back:
// a play, a stop or a track jump (Done), and the two halves of an eject.

#include "cd/CdReadout.h"
#include "chooser/Chooser.h"
#include "display/DisplayEvents.h"
#include "presentation/PlaybackClock.h"
#include "shared/CdDevice.h"

namespace quilo {

struct CdNotificationParts {
    Modulo1& state;
    DisplayForm& testo1;
    PanelModel& tarvo1;
    Chooser& chooser;
    CdDevice& cd;
    CdReadout& readout;
    DisplayEvents& events;
    PlaybackClock& clock;
};

class CdNotifications {
  public:
    explicit CdNotifications(CdNotificationParts parts) : p_(parts) {}

    // Every notification enters here.
    void onCdEvent(CdEvent event);

    void mmcontrol1_Done();
    void mmcontrol1_EjectClick();
    void mmcontrol1_EjectCompleted();
    void mmcontrol1_PlayCompleted();

  private:
    CdNotificationParts p_;
};

}  // namespace quilo
