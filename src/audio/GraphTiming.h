#pragma once
// What PipeWire's own timing says has been heard of a stream, worked out in
// plain arithmetic so that quantum and rate changes, stalls and a negative
// delay can be tried without a server.
//
// Each graph cycle the stream is handed a buffer and reports, at `nowNs` on
// CLOCK_MONOTONIC (the cycle's start), the delay to the device in the graph's
// ticks plus what it still holds in its queue (the buffer just given) and its
// resampler, in the stream's own frames. The buffer the graph took at the
// cycle's start, the one given a cycle before, is what plays during this
// cycle. The frame being heard is what was given less all that, moved on by
// the time since the report; by no more than the playing buffer, since a
// graph that has stalled plays no more than it took, and the position must
// never run ahead of the sound.
//
// The frames given include silence put in when the show had nothing ready
// (an underrun): the padding ledger tells how many of the heard frames were
// the show's own.

#include <algorithm>
#include <cstdint>
#include <deque>

namespace quilo {

struct GraphReport {
    std::int64_t nowNs = 0;
    std::int64_t rateNum = 1;  // the graph's clock: rateNum / rateDenom seconds a tick
    std::int64_t rateDenom = 44100;
    std::int64_t delayTicks = 0;      // to the device; a negative one counts as none
    std::int64_t queuedFrames = 0;    // still in the stream's queue
    std::int64_t bufferedFrames = 0;  // still in the resampler
    std::int64_t givenFrames = 0;     // every frame given to the graph so far
    std::int64_t playingFrames = 0;   // the buffer taken at the cycle's start
};

// Frames given to the graph that have been heard at `nowNs` (never more than
// given, never less than zero). `sampleRate`: the stream's.
inline std::int64_t heardGivenFrames(const GraphReport& r, std::int64_t nowNs, int sampleRate) {
    const std::int64_t denom = std::max<std::int64_t>(r.rateDenom, 1);
    const std::int64_t delay =
        std::max<std::int64_t>(r.delayTicks, 0) * r.rateNum * sampleRate / denom;
    const std::int64_t playing = std::max<std::int64_t>(r.playingFrames, 0);
    const std::int64_t pending = delay + std::max<std::int64_t>(r.queuedFrames, 0) +
                                 std::max<std::int64_t>(r.bufferedFrames, 0) + playing;
    const std::int64_t sinceNs = std::max<std::int64_t>(nowNs - r.nowNs, 0);
    const std::int64_t moved = std::min(sinceNs * sampleRate / 1'000'000'000, playing);
    return std::clamp<std::int64_t>(r.givenFrames - pending + moved, 0, r.givenFrames);
}

// Where silence was put between the show's frames, in frames given.
class PaddingLedger {
  public:
    // `frames` of silence given at `at` (the frames given before them).
    void padded(std::int64_t at, std::int64_t frames) {
        if (frames <= 0) return;
        if (!spans_.empty() && spans_.back().at + spans_.back().frames == at) {
            spans_.back().frames += frames;
        } else {
            spans_.push_back({at, frames});
        }
        // Bounded: the oldest spans fold into the count before them.
        while (spans_.size() > kMostSpans) {
            folded_ += spans_.front().frames;
            spans_.pop_front();
        }
    }
    // Spans wholly heard by `heard` fold into the count before them.
    void forgetBefore(std::int64_t heard) {
        while (!spans_.empty() && spans_.front().at + spans_.front().frames <= heard) {
            folded_ += spans_.front().frames;
            spans_.pop_front();
        }
    }
    // How many of the first `heard` frames given were the show's own.
    std::int64_t ownFrames(std::int64_t heard) const {
        std::int64_t silence = folded_;
        for (const Span& span : spans_) {
            if (span.at >= heard) break;
            silence += std::min(span.frames, heard - span.at);
        }
        return std::max<std::int64_t>(heard - silence, 0);
    }
    void clear() {
        spans_.clear();
        folded_ = 0;
    }

  private:
    struct Span {
        std::int64_t at = 0;
        std::int64_t frames = 0;
    };
    static constexpr std::size_t kMostSpans = 256;
    std::deque<Span> spans_;
    std::int64_t folded_ = 0;
};

}  // namespace quilo
