#include "shared/TextFile.h"

#include <gtest/gtest.h>

namespace quilo {
namespace {

using Lines = std::vector<std::string>;

TEST(TextFile, EndsLinesAtCrAndCrLfButNotAtALoneLf) {
    EXPECT_EQ(splitTextLines("a\r\nb\rc\r\n"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(splitTextLines("a\nb\r\nc"), (Lines{"a\nb", "c"}));
    EXPECT_EQ(splitTextLines("a\r\n\r\nb"), (Lines{"a", "", "b"}));
}

TEST(TextFile, SplitsAFileWithoutAnyCrAtLf) {
    EXPECT_EQ(splitTextLines("a\nb\n**\n"), (Lines{"a", "b", "**"}));
}

TEST(TextFile, HasNoLinesForAnEmptyFile) {
    EXPECT_TRUE(splitTextLines("").empty());
}

TEST(TextFile, ReadsWindows1252AccentsAsCharacters) {
    EXPECT_EQ(decodeTextBytes("Citt\xE0 \x80 perch\xE9"), "Città € perché");
}

TEST(TextFile, KeepsValidUtf8AndDropsItsByteOrderMark) {
    EXPECT_EQ(decodeTextBytes("\xEF\xBB\xBFperch\xC3\xA9"), "perché");
    EXPECT_EQ(decodeTextBytes("perch\xC3\xA9"), "perché");
}

TEST(TextFile, PassesBytesWindows1252LeavesUndefined) {
    EXPECT_EQ(decodeTextBytes("a\x81"
                              "b\xE8"),
              "a\xC2\x81"
              "bè");
}

}  // namespace
}  // namespace quilo
