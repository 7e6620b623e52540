#pragma once
// The playback clock's tick (Timer1_Timer): refreshes the progress value and
// the elapsed seconds, resumes the CD when a scripted pause has run its
// length, then runs one pass of the line reader. A tick that arrives while a
// pass is still running (a message box waiting inside it) does nothing.

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
