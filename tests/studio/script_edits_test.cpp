#include "studio/ScriptEdits.h"

#include <gtest/gtest.h>

namespace quilo {
namespace {

const std::vector<std::string> kShow = {
    "01:00:01Inizio12C",  // 0
    "99 sfondo 0",        // 1
    "01:00:05Note K",     // 2: a block of three lines
    "01:00:06 riga",      // 3: inside the block, though it reads as a time
    "fine-",              // 4
    "Nota dell'autore",   // 5
    "01:00:09alba.pngM",  // 6
    "**",                 // 7
    "02:00:01dopo12C",    // 8: after the end
};

TEST(ScriptEdits, FindsCuesWithEachBlockAsOne) {
    EXPECT_EQ(cueLines(kShow), (std::vector<int>{0, 2, 6}));
    EXPECT_EQ(blockEnd(kShow, 2), 4);
    EXPECT_EQ(blockEnd(kShow, 6), 6);
    EXPECT_EQ(nextCueLine(kShow, 0), 2);
    EXPECT_EQ(nextCueLine(kShow, 2), 6);
    EXPECT_FALSE(nextCueLine(kShow, 6));
}

TEST(ScriptEdits, RetimesALineKeepingEverythingAfterItsStamp) {
    EXPECT_EQ(retimed("01:00:05Città12C", "02:01:30"), "02:01:30Città12C");
    EXPECT_EQ(retimed("01:0", "01:00:07"), "01:00:07");
    EXPECT_EQ(shifted("01:00:59x12C", 1), "01:01:00x12C");
    EXPECT_EQ(shifted("01:01:00x12C", -1), "01:00:59x12C");
    EXPECT_EQ(shifted("01:00:00x12C", -1), "01:00:00x12C");
    // A tap in the last frame of a second still gives that second.
    EXPECT_EQ(retimed("01:00:05a12C", tappedStamp({3, 2, 5, 74})), "03:02:05a12C");
}

}  // namespace
}  // namespace quilo
