#pragma once
// One playback stream to the sound server (PulseAudio, or PipeWire through
// its PulseAudio service), 44.1 kHz 16-bit stereo, with its own connection
// and event thread. It is what both the CD audio and the scripts' sounds go
// through: libpulse writes exactly the bytes it is given, and its timing
// tells which sample is being heard, sink latency included.
//
// Every method may be called from any one thread; the pull callback runs on
// the stream's own event thread.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "audio/TimingTrust.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

namespace quilo {

class PulseStream {
  public:
    // Asked for up to `bytes` of sound (whole frames) on the event thread;
    // returns how many it wrote into `out`, 0 when the sound is over.
    using Pull = std::function<std::size_t(std::uint8_t* out, std::size_t bytes)>;

    PulseStream() = default;
    ~PulseStream();
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Connects and creates the stream, with `targetMs` of sound kept buffered.
    // With `pull`, the stream asks for its sound; without, write() pushes it.
    // False (and nothing left open) when there is no sound server.
    bool open(const std::string& name, int targetMs, Pull pull = {});
    void close();
    bool isOpen() const { return stream_ != nullptr; }
    // The server has gone (it stopped or the connection broke): the stream
    // takes nothing more and must be closed.
    bool broken() const { return broken_; }

    // Takes as many whole frames as fit now; returns the bytes taken.
    std::size_t write(const std::uint8_t* data, std::size_t bytes);
    // Queues `frames` of silence whatever the room, up to the server's
    // largest buffer.
    void writeSilence(std::int64_t frames);
    void cork(bool corked);
    // Drops what is buffered and not yet heard.
    void flush();
    // Frames written but not yet heard, sink latency included, from the
    // server's latest report moved on at the rate of time; every frame
    // written since the last flush while the server has not yet said.
    std::int64_t delayFrames();

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
