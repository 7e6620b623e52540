#include "audio/TimingTrust.h"

#include "audio/GraphTiming.h"

#include <gtest/gtest.h>

namespace quilo {
namespace {

using namespace std::chrono_literals;

// Play after a long cork: the server's first replies still say the stream
// stands still; only its report that it plays makes its clock count.
TEST(TimingTrust, BelievesTheServerOnlyOnceItSaysTheStreamPlaysAgain) {
    const auto t0 = TimingTrust::Clock::now();
    TimingTrust trust;
    trust.restart(t0);
    EXPECT_FALSE(trust.trusted(true, true, t0 + 1ms));    // our own request still out
    EXPECT_FALSE(trust.trusted(false, false, t0 + 2ms));  // answered: not playing yet
    EXPECT_FALSE(trust.trusted(false, false, t0 + 900ms));
    EXPECT_TRUE(trust.trusted(false, true, t0 + 901ms));
    EXPECT_TRUE(trust.trusted(false, false, t0 + 950ms));  // an underrun later: still the clock
    EXPECT_FALSE(trust.trusted(true, true, t0 + 960ms));   // a flush's request out again

    trust.restart(t0 + 1s);  // a server that never says it plays
    EXPECT_FALSE(trust.trusted(false, false, t0 + 1s + 999ms));
    EXPECT_TRUE(trust.trusted(false, false, t0 + 2s + 1ms));
}

TEST(TimingTrust, CountsAsHeardTheReadIndexLessTheSinkMovedOnWithTimeWhilePlaying) {
    // 1000 frames read, 300 of them still in the sink, reported 10 ms ago.
    ServerReport report{5000, 1000, 300, true, 10000};
    EXPECT_EQ(unheardFrames(report, 44100), 5000 - (700 + 441));
    report.playing = false;  // corked or underrun: the report as it stands
    EXPECT_EQ(unheardFrames(report, 44100), 5000 - 700);
    report = {5000, 4900, 0, true, 1000000};  // a stale report never hears the unwritten
    EXPECT_EQ(unheardFrames(report, 44100), 0);
}

// PipeWire's report at the start of a cycle: 10 000 frames given, the last
// 256 still queued, 256 more (the cycle's buffer) playing, 64 in the
// resampler, 512 graph ticks to the device.
TEST(GraphTiming, CountsAsHeardWhatWasGivenLessWhatTheGraphHoldsMovedOnWithTime) {
    const std::int64_t t0 = 5'000'000'000;
    GraphReport r{t0, 1, 44100, 512, 256, 64, 10000, 256};
    EXPECT_EQ(heardGivenFrames(r, t0, 44100), 10000 - 1088);
    EXPECT_EQ(heardGivenFrames(r, t0 + 1'000'000, 44100), 10000 - 1088 + 44);  // 1 ms later
    // A stalled graph: never more than the buffer it took.
    EXPECT_EQ(heardGivenFrames(r, t0 + 50'000'000, 44100), 10000 - 1088 + 256);
    // A quantum change renegotiated: the next report carries the new delay,
    // the new buffer queued and the old one playing.
    r = {t0 + 6'000'000, 1, 44100, 2048, 1024, 64, 11024, 256};
    EXPECT_EQ(heardGivenFrames(r, t0 + 6'000'000, 44100), 11024 - 3392);
    // A graph at 48 kHz: its ticks are turned into the stream's frames.
    r = {t0, 1, 48000, 960, 0, 40, 10000, 256};
    EXPECT_EQ(heardGivenFrames(r, t0, 44100), 10000 - (882 + 40 + 256));
    // A negative delay (an xrun being recovered) counts as none; nothing
    // before the first frame or past the last given is ever heard.
    r = {t0, 1, 44100, -300, 0, 0, 100, 0};
    EXPECT_EQ(heardGivenFrames(r, t0 + 1'000'000'000, 44100), 100);
    r = {t0, 1, 44100, 4000, 0, 0, 100, 256};
    EXPECT_EQ(heardGivenFrames(r, t0, 44100), 0);
}

// Silence put in while the show had nothing ready is heard, but is not the show's.
TEST(GraphTiming, LeavesOutTheSilenceOfAnUnderrunFromTheShowsFramesHeard) {
    PaddingLedger ledger;
    ledger.padded(1000, 256);  // frames 1000-1255 were silence
    ledger.padded(1256, 256);  // and the next cycle's too: one span
    ledger.padded(3000, 100);
    EXPECT_EQ(ledger.ownFrames(900), 900);
    EXPECT_EQ(ledger.ownFrames(1100), 1000);
    EXPECT_EQ(ledger.ownFrames(2000), 2000 - 512);
    EXPECT_EQ(ledger.ownFrames(4000), 4000 - 612);
    ledger.forgetBefore(2000);  // what is wholly heard folds into a count
    EXPECT_EQ(ledger.ownFrames(4000), 4000 - 612);
    ledger.clear();
    EXPECT_EQ(ledger.ownFrames(4000), 4000);
}

}  // namespace
}  // namespace quilo
