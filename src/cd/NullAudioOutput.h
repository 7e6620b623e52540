#pragma once
// Consumes audio at the real-time rate when there is no sound device, so the
// position still advances as if the disc were heard.

#include <chrono>

#include "shared/AudioOutput.h"

namespace quilo {

class NullAudioOutput : public AudioOutput {
  public:
    using Clock = std::chrono::steady_clock;

    bool open() override { return true; }
    std::size_t write(const std::uint8_t*, std::size_t bytes) override;
    void pause(bool paused) override;
    void flush() override;
    std::int64_t delayFrames() override;
    // Takes over `frames` already written elsewhere and not yet heard, so
    // that the position goes on from where another output left it.
    void holdHeardLater(std::int64_t frames);

  private:
    void drain();

    static constexpr std::int64_t kCapacityFrames = kSampleRate / 5;  // 200 ms
    std::int64_t buffered_ = 0;
    bool paused_ = false;
    Clock::time_point last_ = Clock::now();
    double carry_ = 0;
};

}  // namespace quilo
