#pragma once
// Time without a sound card or a wall clock, for the headless simulation and
// whole-presentation tests: each millisecond step lets the CD be heard for one
// millisecond (the manual output consumes 44.1 frames) and moves the
// seconds-since-midnight counter on, before the caller runs a clock tick.

#include "cd/CdControl.h"
#include "cd/ManualAudioOutput.h"
#include "shared/SecondsClock.h"

namespace quilo {

class VirtualSeconds : public SecondsClock {
  public:
    explicit VirtualSeconds(double start = 36000.0) : now_(start) {}
    float secondsSinceMidnight() override { return static_cast<float>(now_); }
    void advance(double seconds) { now_ += seconds; }

  private:
    double now_;
};

class VirtualTime {
  public:
    VirtualTime(CdControl& cd, ManualAudioOutput& output, VirtualSeconds& seconds)
        : cd_(cd), output_(output), seconds_(seconds) {}

    void stepMillisecond() {
        cd_.pump();
        tenths_ += 441;  // 44.1 frames a millisecond, kept exact over ten steps
        output_.play(tenths_ / 10);
        tenths_ %= 10;
        cd_.pump();
        seconds_.advance(0.001);
        ++milliseconds_;
    }
    std::int64_t milliseconds() const { return milliseconds_; }

  private:
    CdControl& cd_;
    ManualAudioOutput& output_;
    VirtualSeconds& seconds_;
    std::int64_t tenths_ = 0;
    std::int64_t milliseconds_ = 0;
};

}  // namespace quilo
