#pragma once
// When the sound server's word on what has been heard can be believed, and
// what it says was heard. After an open, a flush or a cork, its last report
// still describes the stream as it stood (and may say it plays): read before
// a fresh report says the stream plays again, it can count as heard what was
// written since, which would put a show ahead of its music. Until then nothing
// written since is counted as heard; a server that never says so is believed
// after a second, rather than holding the position still for good.

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace quilo {

class TimingTrust {
  public:
    using Clock = std::chrono::steady_clock;

    // The stream was opened, flushed, corked or uncorked at `now`.
    void restart(Clock::time_point now) {
        awaiting_ = true;
        since_ = now;
    }

    // `requestsPending`: timing reports asked for since then have not all
    // come (replies come in order, so an older one may still be in the way);
    // `reportsPlaying`: the latest report says the stream plays.
    bool trusted(bool requestsPending, bool reportsPlaying, Clock::time_point now) {
        if (requestsPending) return false;
        if (awaiting_ && (reportsPlaying || now - since_ > kLongestWait)) awaiting_ = false;
        return !awaiting_;
    }

    static constexpr auto kLongestWait = std::chrono::seconds(1);

  private:
    bool awaiting_ = true;
    Clock::time_point since_{};
};

// One report of the server's, in frames: its read index (what it has taken
// from the stream), what the sink still held then, and how long ago it was.
struct ServerReport {
    std::int64_t written = 0;  // write index, as it is now
    std::int64_t read = 0;
    std::int64_t sinkFrames = 0;
    bool playing = false;
    std::int64_t ageMicroseconds = 0;
};

// What was written and not yet heard: the report's read index, less what the
// sink held, moved on at the rate of time while the stream plays; never more
// heard than written.
//
// Worked out here rather than by libpulse's interpolating clock, which smooths
// the reports into a rate and, when they are coarse (PipeWire's come a whole
// graph cycle old), could run milliseconds ahead of the sound for seconds
// after a start or a stall of the graph.
inline std::int64_t unheardFrames(const ServerReport& r, int sampleRate) {
    std::int64_t heard = r.read - r.sinkFrames;
    if (r.playing) heard += r.ageMicroseconds * sampleRate / 1000000;
    return std::max<std::int64_t>(0, r.written - std::min(heard, r.written));
}

}  // namespace quilo
