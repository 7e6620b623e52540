#include "script/ScriptText.h"

#include <gtest/gtest.h>

namespace quilo {
namespace {

using Lines = std::vector<std::string>;

TEST(ScriptText, EndsLinesAtCrAndCrLfButNotAtALoneLf) {
    EXPECT_EQ(splitScriptLines("a\r\nb\rc\r\n"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(splitScriptLines("a\nb\r\nc"), (Lines{"a\nb", "c"}));
    EXPECT_EQ(splitScriptLines("a\r\n\r\nb"), (Lines{"a", "", "b"}));
}

TEST(ScriptText, SplitsAFileWithoutAnyCrAtLf) {
    EXPECT_EQ(splitScriptLines("a\nb\n**\n"), (Lines{"a", "b", "**"}));
}

TEST(ScriptText, HasNoLinesForAnEmptyFile) { EXPECT_TRUE(splitScriptLines("").empty()); }

TEST(ScriptText, ReadsWindows1252AccentsAsCharacters) {
    EXPECT_EQ(decodeScriptBytes("Citt\xE0 \x80 perch\xE9"), "Città € perché");
}

TEST(ScriptText, KeepsValidUtf8AndDropsItsByteOrderMark) {
    EXPECT_EQ(decodeScriptBytes("\xEF\xBB\xBFperch\xC3\xA9"), "perché");
    EXPECT_EQ(decodeScriptBytes("perch\xC3\xA9"), "perché");
}

TEST(ScriptText, PassesBytesWindows1252LeavesUndefined) {
    EXPECT_EQ(decodeScriptBytes("a\x81" "b\xE8"), "a\xC2\x81" "bè");
}

}  // namespace
}  // namespace quilo
