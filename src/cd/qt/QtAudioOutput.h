#pragma once
// CD audio through Qt's QAudioSink on the default output device. Made and used
// on the streaming thread only. When no device can be opened, the fallback
// output takes over: it consumes at real-time rate so the position still moves.

#include <QAudioSink>
#include <QIODevice>
#include <memory>

#include "cd/NullAudioOutput.h"
#include "shared/AudioOutput.h"

namespace quilo {

class QtAudioOutput : public AudioOutput {
  public:
    ~QtAudioOutput() override;
    bool open() override;
    void close() override;
    std::size_t write(const std::uint8_t* data, std::size_t bytes) override;
    void pause(bool paused) override;
    void flush() override;
    std::int64_t delayFrames() override;

  private:
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* io_ = nullptr;
};

// Tries the sound device first and falls back to a silent real-time output,
// saying so once.
class FallbackAudioOutput : public AudioOutput {
  public:
    explicit FallbackAudioOutput(bool trySoundDevice = true) : trySoundDevice_(trySoundDevice) {}
    bool open() override;
    void close() override { active_->close(); }
    std::size_t write(const std::uint8_t* data, std::size_t bytes) override {
        return active_->write(data, bytes);
    }
    void pause(bool paused) override { active_->pause(paused); }
    void flush() override { active_->flush(); }
    std::int64_t delayFrames() override { return active_->delayFrames(); }
    bool usingSoundDevice() const { return active_ == &device_; }

  private:
    bool trySoundDevice_;
    QtAudioOutput device_;
    NullAudioOutput silent_;
    AudioOutput* active_ = &silent_;
};

}  // namespace quilo
