#include "cd/NullAudioOutput.h"

#include <algorithm>

namespace quilo {

void NullAudioOutput::drain() {
    const auto now = Clock::now();
    if (!paused_) {
        carry_ += std::chrono::duration<double>(now - last_).count() * kSampleRate;
        const auto heard = static_cast<std::int64_t>(carry_);
        carry_ -= static_cast<double>(heard);
        buffered_ = std::max<std::int64_t>(0, buffered_ - heard);
        if (buffered_ == 0) carry_ = 0;
    }
    last_ = now;
}

std::size_t NullAudioOutput::write(const std::uint8_t*, std::size_t bytes) {
    drain();
    const std::int64_t room = std::max<std::int64_t>(0, kCapacityFrames - buffered_);
    const std::int64_t frames =
        std::min<std::int64_t>(room, static_cast<std::int64_t>(bytes / kBytesPerFrame));
    buffered_ += frames;
    return static_cast<std::size_t>(frames) * kBytesPerFrame;
}

void NullAudioOutput::pause(bool paused) {
    drain();
    paused_ = paused;
}

void NullAudioOutput::flush() {
    drain();
    buffered_ = 0;
}

void NullAudioOutput::holdHeardLater(std::int64_t frames) {
    drain();
    buffered_ = std::max<std::int64_t>(0, frames);
}

std::int64_t NullAudioOutput::delayFrames() {
    drain();
    return buffered_;
}

}  // namespace quilo
