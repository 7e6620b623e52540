#pragma once
// An audio output that hears only when told to: the test (or the headless
// simulation) moves its clock with play(). It keeps everything written, so a
// test can compare it with the disc's samples.

#include <algorithm>
#include <vector>

#include "cd/DiscSource.h"
#include "shared/AudioOutput.h"

namespace quilo {

// Four sectors: as little as keeps the virtual sound card from running dry
// between two pumps, so that what is heard follows what was handed over closely.
inline constexpr std::int64_t kVirtualBufferFrames = 4 * kFramesPerSector;

class ManualAudioOutput : public AudioOutput {
  public:
    explicit ManualAudioOutput(std::int64_t capacityFrames = kVirtualBufferFrames,
                               bool keepWritten = true)
        : capacity_(capacityFrames), keep_(keepWritten) {}

    bool open() override { return opened = true; }
    std::size_t write(const std::uint8_t* data, std::size_t bytes) override {
        const std::int64_t room = (capacity_ - buffered_) * kBytesPerFrame;
        const auto taken = static_cast<std::size_t>(
            std::min<std::int64_t>(room, static_cast<std::int64_t>(bytes)) / kBytesPerFrame *
            kBytesPerFrame);
        if (keep_) written.insert(written.end(), data, data + taken);
        buffered_ += static_cast<std::int64_t>(taken) / kBytesPerFrame;
        return taken;
    }
    void pause(bool p) override { paused = p; }
    void flush() override {
        if (keep_)
            written.resize(written.size() - static_cast<std::size_t>(buffered_) * kBytesPerFrame);
        buffered_ = 0;
        ++flushes;
    }
    std::int64_t delayFrames() override { return buffered_; }

    // Lets `frames` frames be heard (fewer when less is buffered).
    void play(std::int64_t frames) {
        const std::int64_t heard = std::min(frames, buffered_);
        buffered_ -= heard;
        heardFrames += heard;
    }

    bool opened = false;
    bool paused = false;
    int flushes = 0;
    std::int64_t heardFrames = 0;
    // Bytes handed over and not dropped by a flush: what was or will be heard.
    std::vector<std::uint8_t> written;

  private:
    std::int64_t capacity_;
    bool keep_;
    std::int64_t buffered_ = 0;
};

}  // namespace quilo
