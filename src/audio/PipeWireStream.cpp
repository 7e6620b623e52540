#include "audio/PipeWireStream.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>
#include <spa/pod/builder.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "shared/AudioOutput.h"

namespace quilo {
namespace {

constexpr std::size_t kFrameBytes = kBytesPerFrame;
constexpr int kConnectSeconds = 5;
constexpr std::size_t kLongestSilenceBytes = std::size_t(kSampleRate) * 2 * kFrameBytes;

void initOnce() {
    static std::once_flag once;
    std::call_once(once, [] { pw_init(nullptr, nullptr); });
}

std::int64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

void onStateChanged(void* self, pw_stream_state, pw_stream_state state, const char*) {
    auto* me = static_cast<PipeWireStream*>(self);
    if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED) me->markBroken();
    me->signal();
}

void onProcess(void* self) {
    static_cast<PipeWireStream*>(self)->process();
}

// The connection to the server broke (it stopped, or its socket went).
void onCoreError(void* self, std::uint32_t id, int, int res, const char*) {
    if (id == PW_ID_CORE && res == -EPIPE) static_cast<PipeWireStream*>(self)->markBroken();
}

const pw_core_events& coreEvents() {
    static const pw_core_events events = [] {
        pw_core_events e{};
        e.version = PW_VERSION_CORE_EVENTS;
        e.error = onCoreError;
        return e;
    }();
    return events;
}

const pw_stream_events& streamEvents() {
    static const pw_stream_events events = [] {
        pw_stream_events e{};
        e.version = PW_VERSION_STREAM_EVENTS;
        e.state_changed = onStateChanged;
        e.process = onProcess;
        return e;
    }();
    return events;
}

}  // namespace

PipeWireStream::PipeWireStream() = default;

PipeWireStream::~PipeWireStream() {
    close();
}

bool PipeWireStream::serverAnswers() {
    initOnce();
    pw_main_loop* loop = pw_main_loop_new(nullptr);
    if (!loop) return false;
    pw_context* context = pw_context_new(pw_main_loop_get_loop(loop), nullptr, 0);
    pw_core* core = context ? pw_context_connect(context, nullptr, 0) : nullptr;
    const bool answers = core != nullptr;
    if (core) pw_core_disconnect(core);
    if (context) pw_context_destroy(context);
    pw_main_loop_destroy(loop);
    return answers;
}

void PipeWireStream::markBroken() {
    if (connected_) broken_ = true;
}

void PipeWireStream::signal() {
    if (loop_) pw_thread_loop_signal(loop_, false);
}

bool PipeWireStream::open(const std::string& name, int targetMs, Pull pull) {
    close();
    initOnce();
    pull_ = std::move(pull);
    {
        std::lock_guard lock(mutex_);
        ringLimit_ = std::size_t(std::max(targetMs, 20)) * kSampleRate / 1000 * kFrameBytes;
        ring_.reset(ringLimit_ + kLongestSilenceBytes);
        restartLocked();
    }
    loop_ = pw_thread_loop_new("quilo-pipewire", nullptr);
    if (!loop_) return false;
    // The real-time clients' configuration: the thread the graph calls into
    // gets real-time priority (through RTKit on a desktop). It has one cycle,
    // 1.5 ms at a quantum of 64, to answer, or the sink plays silence in its
    // place; at ordinary priority it missed about twice as many cycles.
    context_ = pw_context_new(pw_thread_loop_get_loop(loop_),
                              pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", nullptr), 0);
    if (!context_ || pw_thread_loop_start(loop_) < 0) {
        close();
        return false;
    }
    pw_thread_loop_lock(loop_);
    core_ = pw_context_connect(context_, nullptr, 0);
    bool ready = false;
    if (core_) {
        coreHook_ = std::make_unique<spa_hook>();
        pw_core_add_listener(core_, coreHook_.get(), &coreEvents(), this);
        pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY,
                                                 "Playback", PW_KEY_MEDIA_ROLE, "Music",
                                                 PW_KEY_APP_NAME, "Quilo", PW_KEY_NODE_LATENCY,
                                                 "256/44100", PW_KEY_NODE_RATE, "1/44100", nullptr);
        stream_ = pw_stream_new(core_, name.c_str(), props);
    }
    if (stream_) {
        hook_ = std::make_unique<spa_hook>();
        pw_stream_add_listener(stream_, hook_.get(), &streamEvents(), this);
        std::uint8_t buffer[512];
        spa_pod_builder builder{};
        spa_pod_builder_init(&builder, buffer, sizeof buffer);
        spa_audio_info_raw info{};
        info.format = SPA_AUDIO_FORMAT_S16_LE;
        info.rate = kSampleRate;
        info.channels = 2;
        info.position[0] = SPA_AUDIO_CHANNEL_FL;
        info.position[1] = SPA_AUDIO_CHANNEL_FR;
        const spa_pod* params[] = {
            spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
        const auto flags = static_cast<pw_stream_flags>(
            PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS);
        if (pw_stream_connect(stream_, PW_DIRECTION_OUTPUT, PW_ID_ANY, flags, params, 1) == 0) {
            // Connected once the graph has placed the stream (paused or streaming).
            for (int waited = 0; waited < kConnectSeconds * 10; ++waited) {
                const pw_stream_state state = pw_stream_get_state(stream_, nullptr);
                if (state == PW_STREAM_STATE_PAUSED || state == PW_STREAM_STATE_STREAMING) {
                    ready = true;
                    break;
                }
                if (state == PW_STREAM_STATE_ERROR) break;
                pw_thread_loop_timed_wait(loop_, 1);
            }
        }
    }
    connected_ = ready;
    pw_thread_loop_unlock(loop_);
    if (!ready) close();
    return ready;
}

void PipeWireStream::close() {
    if (stream_ && std::getenv("QUILO_VERBOSE")) {
        std::fprintf(
            stderr, "quilo: PipeWire: %lld cicli, %lld senza tutto il suono pronto, %lld saltati\n",
            static_cast<long long>(cycles_.load()), static_cast<long long>(shortCycles_.load()),
            static_cast<long long>(missedCycles_.load()));
    }
    if (loop_) {
        pw_thread_loop_lock(loop_);
        connected_ = false;
        if (stream_) {
            pw_stream_disconnect(stream_);
            pw_stream_destroy(stream_);
        }
        if (core_) pw_core_disconnect(core_);
        pw_thread_loop_unlock(loop_);
        pw_thread_loop_stop(loop_);
        if (context_) pw_context_destroy(context_);
        pw_thread_loop_destroy(loop_);
    }
    stream_ = nullptr;
    core_ = nullptr;
    context_ = nullptr;
    loop_ = nullptr;
    hook_.reset();
    coreHook_.reset();
    broken_ = false;
    // The graph's thread has stopped: its own count may start again.
    cycles_ = shortCycles_ = missedCycles_ = 0;
    lastTicks_ = 0;
    std::lock_guard lock(mutex_);
    corked_ = false;
    restartLocked();
}

void PipeWireStream::restartLocked() {
    ++generation_;  // cycles the real-time thread still keeps are of before
    written_ = 0;
    given_ = 0;
    lastFrames_ = 0;
    heardOwn_ = 0;
    padding_.clear();
    reported_ = false;
    trust_.restart(TimingTrust::Clock::now());
}

std::size_t PipeWireStream::write(const std::uint8_t* data, std::size_t bytes) {
    if (!stream_) return 0;
    const std::size_t n = ring_.write(data, bytes / kFrameBytes * kFrameBytes, ringLimit_);
    std::lock_guard lock(mutex_);
    written_ += std::int64_t(n / kFrameBytes);
    return n;
}

// Silence may fill the ring past its usual limit: it stands for sound the
// output played while it could not reach the server.
void PipeWireStream::writeSilence(std::int64_t frames) {
    if (!stream_ || frames <= 0) return;
    static const std::vector<std::uint8_t> zeros(64 * 1024, 0);
    std::size_t left = std::min(std::size_t(frames) * kFrameBytes, kLongestSilenceBytes);
    while (left > 0) {
        const std::size_t n =
            ring_.write(zeros.data(), std::min(left, zeros.size()), ring_.capacity());
        if (n == 0) break;
        left -= n;
        std::lock_guard lock(mutex_);
        written_ += std::int64_t(n / kFrameBytes);
    }
}

void PipeWireStream::cork(bool corked) {
    if (!stream_) return;
    {
        std::lock_guard lock(mutex_);
        if (corked == corked_) return;
        if (corked) heardOwn_ = heardOwnLocked(monotonicNs());
        corked_ = corked;
        idled_ = true;
        reported_ = false;  // the last report no longer moves on with time
        trust_.restart(TimingTrust::Clock::now());
    }
    pw_thread_loop_lock(loop_);
    pw_stream_set_active(stream_, !corked);
    pw_thread_loop_unlock(loop_);
}

void PipeWireStream::flush() {
    if (!stream_) return;
    pw_thread_loop_lock(loop_);
    pw_stream_flush(stream_, false);
    {
        std::lock_guard lock(mutex_);
        ring_.discard();
        restartLocked();
    }
    pw_thread_loop_unlock(loop_);
}

std::int64_t PipeWireStream::heardOwnLocked(std::int64_t nowNs) {
    if (!reported_ || corked_) return heardOwn_;
    const std::int64_t heardGiven = heardGivenFrames(report_, nowNs, kSampleRate);
    padding_.forgetBefore(heardGiven);
    // Never backwards: a fresh report a little behind the last one's
    // extrapolation holds the position rather than moving it back.
    heardOwn_ = std::max(heardOwn_, std::min(padding_.ownFrames(heardGiven), written_));
    return heardOwn_;
}

std::int64_t PipeWireStream::delayFrames() {
    if (!stream_) return 0;
    std::lock_guard lock(mutex_);
    if (!trust_.trusted(false, reported_, TimingTrust::Clock::now())) return written_ - heardOwn_;
    return written_ - heardOwnLocked(monotonicNs());
}

void PipeWireStream::process() {
    // Read before the ring: sound taken from before a flush is never counted
    // as after it (at worst a cycle after it is not: late, never early).
    const std::uint64_t generation = generation_.load();
    pw_buffer* b = pw_stream_dequeue_buffer(stream_);
    if (!b) return;
    spa_data& data = b->buffer->datas[0];
    auto* out = static_cast<std::uint8_t*>(data.data);
    if (!out) {
        pw_stream_queue_buffer(stream_, b);
        return;
    }
    std::uint64_t frames = data.maxsize / kFrameBytes;
    if (b->requested > 0) frames = std::min<std::uint64_t>(frames, b->requested);
    const std::size_t bytes = std::size_t(frames) * kFrameBytes;
    const std::size_t own = pull_ ? pull_(out, bytes) : ring_.read(out, bytes);
    // What the show had not ready is silence, heard but not the show's.
    std::memset(out + own, 0, bytes - own);
    data.chunk->offset = 0;
    data.chunk->stride = kFrameBytes;
    data.chunk->size = std::uint32_t(bytes);
    b->size = frames;  // the stream's queue is then counted in frames
    pw_stream_queue_buffer(stream_, b);

    pw_time time{};
    pw_stream_get_time_n(stream_, &time, sizeof time);
    noteCycle(time.ticks, std::int64_t(frames), std::int64_t(own / kFrameBytes));
    const Cycle cycle{generation,
                      std::int64_t(frames),
                      std::int64_t(own / kFrameBytes),
                      time.now,
                      std::max<std::int64_t>(time.rate.num, 1),
                      std::max<std::int64_t>(time.rate.denom, 1),
                      time.delay,
                      std::int64_t(time.queued),
                      std::int64_t(time.buffered)};
    // Never wait here for a thread of lower priority: the graph would play
    // silence for this stream while it waits.
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) {
        if (stashed_ < kStash) {
            stash_[stashed_++] = cycle;
            return;
        }
        lock.lock();  // held this long, counting late beats losing count
    }
    for (int i = 0; i < stashed_; ++i) countLocked(stash_[i]);
    stashed_ = 0;
    countLocked(cycle);
}

void PipeWireStream::noteCycle(std::uint64_t ticks, std::int64_t frames, std::int64_t own) {
    cycles_.fetch_add(1, std::memory_order_relaxed);
    if (own < frames) shortCycles_.fetch_add(1, std::memory_order_relaxed);
    if (idled_.exchange(false, std::memory_order_relaxed)) lastTicks_ = 0;
    const auto gap = std::int64_t(ticks - lastTicks_);
    if (lastTicks_ != 0 && frames > 0 && gap > frames + frames / 2)
        missedCycles_.fetch_add(gap / frames - 1, std::memory_order_relaxed);
    lastTicks_ = ticks;
}

void PipeWireStream::countLocked(const Cycle& c) {
    if (c.generation != generation_.load()) return;
    padding_.padded(given_ + c.own, c.frames - c.own);
    given_ += c.frames;
    if (corked_) return;
    report_ = {c.now, c.rateNum, c.rateDenom, c.delay, c.queued, c.buffered, given_, lastFrames_};
    lastFrames_ = c.frames;
    reported_ = true;
}

}  // namespace quilo
