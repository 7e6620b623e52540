#include "studio/ScriptEdits.h"

#include "studio/LineIndex.h"
#include "studio/TapTiming.h"

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
    // The studio's index of decoded lines finds the same, and keeps finding
    // them as lines change.
    ScriptDocument doc = ScriptDocument::empty(TextEncoding::Utf8, true);
    for (int i = 0; i < int(kShow.size()); ++i) doc.insert(i, kShow[std::size_t(i)]);
    LineIndex index;
    index.update(doc.lines());
    EXPECT_EQ(index.cues(), cueLines(kShow));
    EXPECT_TRUE(index.inBlock(3));
    EXPECT_EQ(index.parts(3, doc.text(3)).kind, LineParts::Kind::BlockLine);
    doc.setText(2, "01:00:05Ora una didascalia12C");
    index.update(doc.lines());
    EXPECT_EQ(index.cues(), (std::vector<int>{0, 2, 3, 6}));
    EXPECT_EQ(blockEnd(kShow, 2), 4);
    EXPECT_EQ(blockEnd(kShow, 6), 6);
    EXPECT_EQ(nextCueLine(kShow, 0), 2);
    EXPECT_EQ(nextCueLine(kShow, 2), 6);
    EXPECT_FALSE(nextCueLine(kShow, 6));
}

TEST(ScriptEdits, ReadsATimeTypedInAnyOfItsForms) {
    EXPECT_EQ(parseTime("02:01:30", 1), (CdPosition{2, 1, 30, 0}));
    EXPECT_EQ(parseTime("02:01:30:74", 1), (CdPosition{2, 1, 30, 74}));
    EXPECT_EQ(parseTime("1:05", 3), (CdPosition{3, 1, 5, 0}));
    for (const char* wrong : {"", "5", "01:00:60", "01:00:05:75", "00:01:00", "a:b", "01:00:05x"})
        EXPECT_FALSE(parseTime(wrong, 1)) << wrong;
    EXPECT_EQ(secondsLater({1, 0, 1, 40}, -2), (CdPosition{1, 0, 0, 0}));
    EXPECT_EQ(secondsLater({1, 0, 59, 40}, 3), (CdPosition{1, 1, 2, 40}));
}

// Against a click at every second's start, a tap is late by the time since
// the nearest click; the median of enough taps is the offset offered.
TEST(ScriptEdits, MeasuresHowLateTapsComeAfterTheClick) {
    EXPECT_EQ(tapLatenessMs(44100 * 7 + 4410), 100);
    EXPECT_EQ(tapLatenessMs(44100 * 7 - 2205), -50);
    EXPECT_FALSE(medianLatenessMs({100, 120}, 3));
    EXPECT_EQ(medianLatenessMs({100, 400, 90, 110, -20}, 5), 100);
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

// Each field of the form changes itself alone: a pause keeps its seconds
// when its text changes, a colour outside the list stays, a letter that
// takes a number gets one only when the line had none.
TEST(ScriptEdits, ChangesOnlyTheFieldEdited) {
    EXPECT_EQ(withField("01:00:10Pausa lunga30S", LineField::Body, "Pausa molto lunga"),
              "01:00:10Pausa molto lunga30S");
    EXPECT_EQ(withField("01:00:10Pausa lunga30S", LineField::Number, "75"),
              "01:00:10Pausa lunga75S");
    EXPECT_EQ(withField("01:00:10Città42C", LineField::Time, "01:02:03"), "01:02:03Città42C");
    EXPECT_EQ(withField("01:00:10Città42C", LineField::Letter, "B"), "01:00:10Città42B");
    EXPECT_EQ(withField("01:00:10Città42C", LineField::Letter, "M"), "01:00:10CittàM");
    EXPECT_EQ(withField("01:00:10alba.pngM", LineField::Letter, "P"), "01:00:10alba.png05P");
    EXPECT_EQ(withField("01:00:10alba.pngM", LineField::Letter, "N"), "01:00:10N");
    EXPECT_EQ(withField("01:00:10Solo testo", LineField::Letter, "C"), "01:00:10Solo testo15C");
    EXPECT_EQ(numberKind("P"), NumberKind::Seconds);
    EXPECT_EQ(numberKind("L"), NumberKind::Colour);
    EXPECT_EQ(numberKind("M"), NumberKind::None);
}

}  // namespace
}  // namespace quilo
