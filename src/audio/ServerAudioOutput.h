#pragma once
// CD audio to the sound server (PipeWire directly, or PulseAudio: see
// SoundStream.h), falling back to a silent real-time output
// (saying so once) when there is none, so the position still moves. Its
// delay is the server's own measure of what is written and not yet heard,
// sink latency included, so the position is the sample being heard. A server
// that goes away mid-show hands over to the silent output without a jump in
// the position, and the sound comes back by itself when the server does.

#include <memory>

#include "audio/SoundStream.h"
#include "cd/NullAudioOutput.h"
#include "shared/AudioOutput.h"
#include "shared/Warnings.h"

namespace quilo {

class ServerAudioOutput : public AudioOutput {
  public:
    // `warnings` may be null; `trySoundDevice` false plays in silence.
    explicit ServerAudioOutput(Warnings* warnings = nullptr, bool trySoundDevice = true)
        : warnings_(warnings), trySoundDevice_(trySoundDevice) {}

    bool open() override;
    void close() override;
    std::size_t write(const std::uint8_t* data, std::size_t bytes) override;
    void pause(bool paused) override;
    void flush() override;
    std::int64_t delayFrames() override;
    bool usingSoundDevice() const { return stream_->isOpen(); }

    static constexpr int kBufferMs = 100;

  private:
    bool onServer();
    void tryServerAgain();
    void say(const char* message);

    static constexpr std::chrono::seconds kRetryEvery{2};

    Warnings* warnings_;
    bool trySoundDevice_;
    bool warnedNoServer_ = false;
    bool lost_ = false;  // the server went away; tried again at each flush and every 2 s
    NullAudioOutput::Clock::time_point nextTry_{};
    bool paused_ = false;         // as the control last asked
    std::int64_t lastDelay_ = 0;  // the server's last word on what is unheard
    std::unique_ptr<SoundStream> stream_ = makeSoundStream();
    NullAudioOutput silent_;
};

}  // namespace quilo
