#pragma once
// A playback stream to PipeWire through its own library: the graph asks for
// each cycle's frames on its real-time thread, and its own timing, taken in
// that same callback, tells which sample is being heard (see GraphTiming.h).
// It asks the graph for 44.1 kHz and a quantum of 256 frames, and copes with
// what it gets: a graph at another rate resamples, and the resampler's frames
// count. Written sound waits in a ring of `targetMs` for the next cycle.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/GraphTiming.h"
#include "audio/SoundStream.h"
#include "audio/SpscRing.h"
#include "audio/TimingTrust.h"

struct pw_thread_loop;
struct pw_context;
struct pw_core;
struct pw_stream;
struct spa_hook;

namespace quilo {

class PipeWireStream : public SoundStream {
  public:
    PipeWireStream();
    ~PipeWireStream() override;
    PipeWireStream(const PipeWireStream&) = delete;
    PipeWireStream& operator=(const PipeWireStream&) = delete;

    bool open(const std::string& name, int targetMs, Pull pull = {}) override;
    void close() override;
    bool isOpen() const override { return stream_ != nullptr; }
    bool broken() const override { return broken_; }
    std::size_t write(const std::uint8_t* data, std::size_t bytes) override;
    void writeSilence(std::int64_t frames) override;
    void cork(bool corked) override;
    void flush() override;
    std::int64_t delayFrames() override;

    // Whether a PipeWire server answers here.
    static bool serverAnswers();

    // From the stream's events, on its loop's thread: the graph's cycle (on
    // its real-time thread), a stream that failed or was dropped, a state
    // to wake open() for.
    void process();
    void markBroken();
    void signal();

  private:
    // One graph cycle as the real-time thread saw it: counted at once when
    // the lock is free, else kept there and counted at the next cycle that
    // gets it.
    struct Cycle {
        std::uint64_t generation = 0;
        std::int64_t frames = 0;
        std::int64_t own = 0;  // of them, the show's; the rest silence
        std::int64_t now = 0, rateNum = 1, rateDenom = 1, delay = 0, queued = 0, buffered = 0;
    };
    void restartLocked();  // with mutex_ held: nothing given is known heard
    void countLocked(const Cycle& cycle);
    void noteCycle(std::uint64_t ticks, std::int64_t frames, std::int64_t own);
    std::int64_t heardOwnLocked(std::int64_t nowNs);

    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_stream* stream_ = nullptr;
    std::unique_ptr<spa_hook> hook_;      // the stream's listener
    std::unique_ptr<spa_hook> coreHook_;  // the connection's
    Pull pull_;
    std::atomic<bool> connected_ = false;
    std::atomic<bool> broken_ = false;

    // Written, not yet given to the graph: read without a lock by the graph's
    // real-time thread, which must never wait for this side's threads.
    SpscRing ring_;
    std::size_t ringLimit_ = 0;  // what writes fill it to; silence may go past
    static constexpr int kStash = 64;
    std::array<Cycle, kStash> stash_{};  // the real-time thread's own
    int stashed_ = 0;
    std::atomic<std::uint64_t> generation_ = 0;  // grows at each restart
    // What the graph's thread saw, said with QUILO_VERBOSE when the stream
    // closes: its cycles, those the show's sound was not all ready for, and
    // the cycles the graph ran without this stream (it woke too late).
    std::atomic<std::int64_t> cycles_ = 0, shortCycles_ = 0, missedCycles_ = 0;
    std::uint64_t lastTicks_ = 0;      // the real-time thread's own
    std::atomic<bool> idled_ = false;  // corked since: the graph ran on without it

    std::mutex mutex_;             // guards everything below
    std::int64_t written_ = 0;     // frames written since the last flush
    std::int64_t given_ = 0;       // frames (the show's and silence) given since then
    std::int64_t lastFrames_ = 0;  // the buffer given a cycle ago: the one playing now
    std::int64_t heardOwn_ = 0;    // of the show's written frames, heard; never goes back
    PaddingLedger padding_;
    GraphReport report_;
    bool reported_ = false;  // a cycle has reported since the last restart
    bool corked_ = false;
    TimingTrust trust_;
};

}  // namespace quilo
