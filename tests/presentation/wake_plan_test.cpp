#include "presentation/WakePlan.h"

#include <gtest/gtest.h>

namespace quilo {
namespace {

TEST(WakePlan, SleepsUntilTheNearestMomentACueOrAPauseCanChangeSomething) {
    EXPECT_FALSE(nextWake({false, 0.2, 0.1, true}));  // the clock is off

    auto wake = nextWake({true, std::nullopt, std::nullopt, false});
    EXPECT_EQ(wake->seconds, kLongestSleepSeconds);
    EXPECT_FALSE(wake->exact);
    wake = nextWake({true, 0.7, std::nullopt, true});
    EXPECT_EQ(wake->seconds, kPanelRefreshSeconds);  // the panel's boxes come first
    EXPECT_FALSE(wake->exact);

    wake = nextWake({true, 0.04, 2.5, true});
    EXPECT_EQ(wake->seconds, 0.04);
    EXPECT_TRUE(wake->exact);
    wake = nextWake({true, std::nullopt, 0.3, false});  // a scripted pause, the CD still
    EXPECT_EQ(wake->seconds, 0.3);
    EXPECT_TRUE(wake->exact);
    wake = nextWake({true, std::nullopt, 0.0, false});  // the pause is over: at once
    EXPECT_EQ(wake->seconds, 0.0);
    // The last tick read 4.999 s and the position is now 5.001 s: the next
    // second is almost a second away, but second 5 is due at once.
    wake = nextWake({true, 0.999, std::nullopt, false, true});
    EXPECT_EQ(wake->seconds, 0.0);
    EXPECT_TRUE(wake->exact);
}

}  // namespace
}  // namespace quilo
