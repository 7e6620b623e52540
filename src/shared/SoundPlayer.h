#pragma once
// Plays a wave sound asynchronously, cutting off one still playing. False when
// the file cannot be played.

#include <string>

namespace quilo {

class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    virtual bool play(const std::string& file) = 0;
};

}  // namespace quilo
