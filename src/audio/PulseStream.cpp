#include "audio/PulseStream.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <vector>

#include "shared/AudioOutput.h"

namespace quilo {
namespace {

constexpr auto kFrameBytes = static_cast<std::size_t>(kBytesPerFrame);

const pa_sample_spec kSpec{PA_SAMPLE_S16LE, kSampleRate, 2};

constexpr auto kAskForTimingEvery = std::chrono::milliseconds(100);

void signalLoop(void* loop) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}

class LoopLock {
  public:
    explicit LoopLock(pa_threaded_mainloop* loop) : loop_(loop) {
        pa_threaded_mainloop_lock(loop_);
    }
    ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

  private:
    pa_threaded_mainloop* loop_;
};

}  // namespace

PulseStream::~PulseStream() {
    close();
}

bool PulseStream::open(const std::string& name, int targetMs, Pull pull) {
    close();
    pull_ = std::move(pull);
    loop_ = pa_threaded_mainloop_new();
    if (!loop_) return false;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Quilo");
    if (!context_) {
        close();
        return false;
    }
    pa_context_set_state_callback(
        context_,
        [](pa_context* context, void* self) {
            auto* me = static_cast<PulseStream*>(self);
            if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) me->broken_ = true;
            signalLoop(me->loop_);
        },
        this);
    // No autospawn: a machine without a sound server plays in silence instead.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(loop_) < 0) {
        close();
        return false;
    }
    bool ready = false;
    {
        LoopLock lock(loop_);
        stream_ = pa_stream_new(context_, name.c_str(), &kSpec, nullptr);
        ready = stream_ != nullptr && waitUntilReady();
        if (ready) {
            pa_buffer_attr attr{};
            attr.maxlength = static_cast<std::uint32_t>(-1);
            attr.tlength =
                static_cast<std::uint32_t>(pa_usec_to_bytes(pa_usec_t(targetMs) * 1000, &kSpec));
            // Playback starts on the first frame, so a sound shorter than the
            // buffer, or the last moment of a disc, is heard all the same.
            attr.prebuf = kFrameBytes;
            attr.minreq = static_cast<std::uint32_t>(-1);
            attr.fragsize = static_cast<std::uint32_t>(-1);
            pa_stream_set_state_callback(
                stream_,
                [](pa_stream* stream, void* self) {
                    auto* me = static_cast<PulseStream*>(self);
                    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) me->broken_ = true;
                    signalLoop(me->loop_);
                },
                this);
            pa_stream_set_underflow_callback(stream_, &PulseStream::onUnderflow, this);
            if (pull_) pa_stream_set_write_callback(stream_, &PulseStream::onWritable, this);
            const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_AUTO_TIMING_UPDATE |
                                                              PA_STREAM_ADJUST_LATENCY);
            ready =
                pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr) == 0 &&
                waitUntilReady();
            restartTrust();
        }
    }
    if (!ready) close();
    return ready;
}

// Waits, with the loop locked, until the context and the stream (once it is
// connecting) are ready; false when either fails.
bool PulseStream::waitUntilReady() {
    while (true) {
        const pa_context_state_t c = pa_context_get_state(context_);
        if (!PA_CONTEXT_IS_GOOD(c)) return false;
        if (c == PA_CONTEXT_READY) {
            const pa_stream_state_t s = pa_stream_get_state(stream_);
            if (s == PA_STREAM_READY || s == PA_STREAM_UNCONNECTED) return true;
            if (!PA_STREAM_IS_GOOD(s)) return false;
        }
        pa_threaded_mainloop_wait(loop_);
    }
}

void PulseStream::close() {
    if (loop_) {
        {
            LoopLock lock(loop_);
            if (stream_) {
                pa_stream_set_write_callback(stream_, nullptr, nullptr);
                pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
                pa_stream_set_state_callback(stream_, nullptr, nullptr);
                pa_stream_disconnect(stream_);
                pa_stream_unref(stream_);
            }
            if (context_) {
                pa_context_set_state_callback(context_, nullptr, nullptr);
                pa_context_disconnect(context_);
                pa_context_unref(context_);
            }
        }
        pa_threaded_mainloop_stop(loop_);
        pa_threaded_mainloop_free(loop_);
    }
    stream_ = nullptr;
    context_ = nullptr;
    loop_ = nullptr;
    sinceFlush_ = 0;
    drained_ = false;
    timingRequests_ = 0;
    trust_ = {};
    broken_ = false;
}

std::size_t PulseStream::write(const std::uint8_t* data, std::size_t bytes) {
    if (!stream_) return 0;
    LoopLock lock(loop_);
    const std::size_t room = pa_stream_writable_size(stream_);
    if (room == static_cast<std::size_t>(-1)) return 0;
    const std::size_t n = std::min(bytes, room) / kFrameBytes * kFrameBytes;
    if (n == 0 || pa_stream_write(stream_, data, n, nullptr, 0, PA_SEEK_RELATIVE) != 0) return 0;
    sinceFlush_ += static_cast<std::int64_t>(n / kFrameBytes);
    drained_ = false;
    return n;
}

void PulseStream::writeSilence(std::int64_t frames) {
    if (!stream_ || frames <= 0) return;
    LoopLock lock(loop_);
    const auto bytes = static_cast<std::size_t>(frames) * kFrameBytes;
    if (pa_stream_write(stream_, std::vector<std::uint8_t>(bytes, 0).data(), bytes, nullptr, 0,
                        PA_SEEK_RELATIVE) != 0) {
        return;
    }
    sinceFlush_ += frames;
    drained_ = false;
}

void PulseStream::cork(bool corked) {
    if (!stream_) return;
    LoopLock lock(loop_);
    if (pa_operation* op = pa_stream_cork(stream_, corked ? 1 : 0, nullptr, nullptr))
        pa_operation_unref(op);
    refreshTiming();
    restartTrust();
}

// The heard sample is worked out from the server's last report; after a cork
// or a flush that report is out of date, so a fresh one is asked for at once
// rather than at the next automatic update.
void PulseStream::refreshTiming() {
    pa_operation* op = pa_stream_update_timing_info(
        stream_,
        [](pa_stream*, int, void* self) { --static_cast<PulseStream*>(self)->timingRequests_; },
        this);
    if (op) {
        ++timingRequests_;
        pa_operation_unref(op);
    }
}

void PulseStream::restartTrust() {
    trust_.restart(TimingTrust::Clock::now());
}

void PulseStream::flush() {
    if (!stream_) return;
    LoopLock lock(loop_);
    if (pa_operation* op = pa_stream_flush(stream_, nullptr, nullptr)) pa_operation_unref(op);
    refreshTiming();
    restartTrust();
    sinceFlush_ = 0;
    drained_ = true;  // until something is written again
}

std::int64_t PulseStream::delayFrames() {
    if (!stream_) return 0;
    LoopLock lock(loop_);
    if (drained_) return 0;
    askForTimingNowAndThen();
    const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
    const bool playing = timing != nullptr && timing->playing != 0;
    // Until the server's timing has caught up with a flush or a cork, and says
    // the stream plays, nothing written since can be taken as heard.
    if (timing == nullptr ||
        !trust_.trusted(timingRequests_ > 0, playing, TimingTrust::Clock::now()) ||
        timing->read_index_corrupt || timing->write_index_corrupt) {
        return sinceFlush_;
    }
    const auto frameBytes = static_cast<std::int64_t>(kFrameBytes);
    const ServerReport report{timing->write_index / frameBytes, timing->read_index / frameBytes,
                              static_cast<std::int64_t>(timing->sink_usec * kSampleRate / 1000000),
                              playing,
                              static_cast<std::int64_t>(pa_timeval_age(&timing->timestamp))};
    return unheardFrames(report, kSampleRate);
}

// libpulse spaces its own timing updates out to 1.5 s; asking every tenth of
// a second bounds how long a stall of the sound can go unnoticed.
void PulseStream::askForTimingNowAndThen() {
    const auto now = TimingTrust::Clock::now();
    if (now - lastAsked_ < kAskForTimingEvery) return;
    lastAsked_ = now;
    if (pa_operation* op = pa_stream_update_timing_info(stream_, nullptr, nullptr))
        pa_operation_unref(op);
}

void PulseStream::onWritable(pa_stream* stream, std::size_t bytes, void* self) {
    auto* me = static_cast<PulseStream*>(self);
    void* buffer = nullptr;
    std::size_t size = bytes;
    if (pa_stream_begin_write(stream, &buffer, &size) != 0 || !buffer) return;
    const std::size_t want = std::min(bytes, size) / kFrameBytes * kFrameBytes;
    const std::size_t got = me->pull_(static_cast<std::uint8_t*>(buffer), want);
    if (got == 0) {
        pa_stream_cancel_write(stream);
        return;
    }
    pa_stream_write(stream, buffer, got, nullptr, 0, PA_SEEK_RELATIVE);
    me->drained_ = false;
}

void PulseStream::onUnderflow(pa_stream*, void* self) {
    static_cast<PulseStream*>(self)->drained_ = true;
}

}  // namespace quilo
