#pragma once
// The heartbeat of a running show (Timer1_Timer). Scripted pauses are timed
// on the wall clock rather than the disc, because the disc stands still while
// they last; everything else follows the disc through the line reader. A
// message box opened inside a pass lets further ticks arrive: they must not
// start a second pass over the same lines, so they do nothing.

#include <optional>

#include "script/LineReader.h"
#include "shared/CdDevice.h"
#include "shared/Modulo1.h"
#include "shared/PanelModel.h"
#include "shared/SecondsClock.h"

namespace quilo {

class PlaybackClock {
  public:
    PlaybackClock(Modulo1& state, PanelModel& tarvo1, CdDevice& cd, LineReader& reader,
                  SecondsClock& seconds)
        : state_(state), tarvo1_(tarvo1), cd_(cd), reader_(reader), seconds_(seconds) {}

    void Timer1_Timer();

    // Seconds until a scripted pause has run its length (0 when it has);
    // nothing when no pause is running.
    std::optional<double> secondsUntilPauseEnds();

    // Timer1's enabled flag; the timer view follows it.
    bool enabled = false;

  private:
    Modulo1& state_;
    PanelModel& tarvo1_;
    CdDevice& cd_;
    LineReader& reader_;
    SecondsClock& seconds_;
    bool inTick_ = false;
};

}  // namespace quilo
