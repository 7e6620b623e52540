#pragma once
// The seconds-since-midnight counter, single precision, as the playback clock
// and the caption pause read it.

namespace quilo {

class SecondsClock {
  public:
    virtual ~SecondsClock() = default;
    virtual float secondsSinceMidnight() = 0;
};

}  // namespace quilo
