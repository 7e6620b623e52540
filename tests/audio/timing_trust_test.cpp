#include "audio/TimingTrust.h"

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

}  // namespace
}  // namespace quilo
