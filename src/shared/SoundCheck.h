#pragma once
// Tells whether a sound file would play, without playing it: the checker and
// the simulation ask it where the player would play the sound.

#include <string>

namespace quilo {

class SoundCheck {
  public:
    virtual ~SoundCheck() = default;
    virtual bool playable(const std::string& file) = 0;
};

}  // namespace quilo
