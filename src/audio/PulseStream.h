#pragma once
// A playback stream to PulseAudio (or PipeWire through its PulseAudio
// service), with its own connection and event thread: libpulse writes exactly
// the bytes it is given, and its timing tells which sample is being heard,
// sink latency included.
//
// Every method may be called from any one thread; the pull callback runs on
// the stream's own event thread.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "audio/SoundStream.h"
#include "audio/TimingTrust.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

namespace quilo {

class PulseStream : public SoundStream {
  public:
    PulseStream() = default;
    ~PulseStream() override;
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Connects and creates the stream, with `targetMs` of sound kept buffered.
    // With `pull`, the stream asks for its sound; without, write() pushes it.
    // False (and nothing left open) when there is no sound server.
    bool open(const std::string& name, int targetMs, Pull pull = {}) override;
    void close() override;
    bool isOpen() const override { return stream_ != nullptr; }
    bool broken() const override { return broken_; }
    std::size_t write(const std::uint8_t* data, std::size_t bytes) override;
    void writeSilence(std::int64_t frames) override;
    void cork(bool corked) override;
    void flush() override;
    // From the server's latest report moved on at the rate of time.
    std::int64_t delayFrames() override;

  private:
    bool waitUntilReady();
    void restartTrust();            // with the loop locked
    void askForTimingNowAndThen();  // with the loop locked
    void refreshTiming();           // with the loop locked
    static void onWritable(pa_stream* stream, std::size_t bytes, void* self);
    static void onUnderflow(pa_stream* stream, void* self);

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    Pull pull_;
    std::int64_t sinceFlush_ = 0;  // frames written since the last flush
    bool drained_ = false;         // the server ran out and nothing came since
    int timingRequests_ = 0;       // timing reports asked for and not yet come
    TimingTrust trust_;            // whether the server's timing describes the stream now
    TimingTrust::Clock::time_point lastAsked_{};
    // Set by the server's event thread when the connection or the stream
    // fails, so that asking costs no lock on every write and position read.
    std::atomic<bool> broken_ = false;
};

}  // namespace quilo
