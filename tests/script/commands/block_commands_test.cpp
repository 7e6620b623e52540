// The pauses "S" and "P" and the text blocks of "+", "D", "K" and "-".
#include <gtest/gtest.h>

#include "support/CommandFixture.h"

namespace quilo {
namespace {

using namespace quilo::testing;

using BlockCommandsTest = CommandTest;

TEST_F(BlockCommandsTest, PausesTheCdWithACaptionEvenWhenItsTextIsEmpty) {
    h.seconds.now = 100.4f;
    h.script({"01:00:4005S", "next linP", "**"});
    EXPECT_FALSE(h.clock.secondsUntilPauseEnds());
    at(1, 0, 40);
    h.seconds.now = 102.4f;
    EXPECT_NEAR(*h.clock.secondsUntilPauseEnds(), 3.0, 1e-4);
    EXPECT_EQ(h.testo1.Label2[0].caption, "\r\nnext lin");
    EXPECT_EQ(h.state.pauseSeconds, 5);
    EXPECT_EQ(h.state.pauseActive, 1);
    EXPECT_FLOAT_EQ(h.state.clockStart, 100.4f);
    EXPECT_EQ(cd.commands, std::vector<CdCommand>{CdCommand::Pause});
}

TEST_F(BlockCommandsTest, ReadsACaptionBlockUpToItsPLineWithoutRunningIt) {
    h.testo1.ImgEdit[1].visible = true;
    h.testo1.Text1.visible = true;
    h.script({"01:00:40Sosta per le foto05S", "restate ai posti", "not a command12C",
              "si riprendeP", "01:00:40after12C", "01:00:41later12C", "**"});
    at(1, 0, 40);
    EXPECT_EQ(h.testo1.Label2[0].caption,
              "Sosta per le foto\r\nrestate ai posti\r\nnot a command12C\r\nsi riprende");
    EXPECT_EQ(h.testo1.Label2[1].caption, h.testo1.Label2[0].caption);
    EXPECT_FALSE(h.testo1.ImgEdit[1].visible);
    EXPECT_FALSE(h.testo1.Text1.visible);
    EXPECT_EQ(h.testo1.Label1[0].caption, " ");
    at(1, 0, 41);
    EXPECT_EQ(h.log.lines, (std::vector<int>{0, 5}));  // the block's lines never ran
}

TEST_F(BlockCommandsTest, RunsABlockLineThatCarriesATimeStampWhenItsSecondComesInALaterPass) {
    h.script({"01:00:40Wait02S", "01:00:41inside12C", "endP", "**"});
    at(1, 0, 40);
    at(1, 0, 41);
    EXPECT_EQ(h.log.lines, (std::vector<int>{0, 1}));
    EXPECT_EQ(h.testo1.Label2[0].caption, "inside");
}

TEST_F(BlockCommandsTest, PausesFromAPLineWithoutRestartingTheClock) {
    h.state.clockStart = 50;
    h.seconds.now = 70;
    h.script({"01:00:40Just P03P", "01:00:40same12C", "**"});
    at(1, 0, 40);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Just P");
    EXPECT_EQ(h.state.pauseSeconds, 3);
    EXPECT_FLOAT_EQ(h.state.clockStart, 50);
    EXPECT_EQ(h.clock.secondsUntilPauseEnds(), 0.0);  // its time ran out long ago
}

TEST_F(BlockCommandsTest, EndsAnUnclosedBlockAtTheLastLoadedLine) {
    h.script({"01:00:40Wait02S", "more", "**"});
    at(1, 0, 40);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Wait\r\nmore\r\n**");
    EXPECT_EQ(h.state.resumeLine, 3);
    h.script({"01:00:41Open block+", "line", "**"});
    at(1, 0, 41);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Open block\r\nline\r\n**");
    EXPECT_EQ(h.testo1.Label2[1].caption, h.testo1.Label2[0].caption);
}

TEST_F(BlockCommandsTest, WritesATextBlockIntoTheCaptionsAndStopsAnyPause) {
    h.state.pauseActive = 1;
    h.testo1.ImgEdit[2].visible = true;
    h.script({"01:00:50Prima riga del blocco+", "seconda12K", "terza-", "01:00:50same12C", "**"});
    at(1, 0, 50);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Prima riga del blocco\r\nseconda12K\r\nterza");
    EXPECT_EQ(h.testo1.Label2[1].caption, h.testo1.Label2[0].caption);
    EXPECT_EQ(h.state.pauseActive, 0);
    EXPECT_FALSE(h.testo1.ImgEdit[2].visible);
    EXPECT_TRUE(h.testo1.ImgEdit[3].visible);
    EXPECT_EQ(h.log.letters, "+");
}

TEST_F(BlockCommandsTest, GivesAnEmptyFirstOrLastLineForBareCommandAndClosingLines) {
    h.script({"01:00:50+", "-", "**"});
    at(1, 0, 50);
    EXPECT_EQ(h.testo1.Label2[0].caption, "\r\n");
    h.script({"01:00:51Text+", "abcd-", "**"});
    at(1, 0, 51);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Text\r\nabcd");
}

TEST_F(BlockCommandsTest, PreparesPictureTextHiddenInItsLowerPlace) {
    h.testo1.Text1.visible = true;
    h.testo1.Text1.geometry = {7000, 100, 4000, 8000};
    h.script({"01:00:10About this picture D", "second line-", "01:00:20photo1.bmpM", "01:00:30x12C",
              "**"});
    at(1, 0, 10);
    EXPECT_EQ(h.testo1.Text1.text, "About this picture \r\nsecond line");
    EXPECT_FALSE(h.testo1.Text1.visible);
    EXPECT_EQ(h.testo1.Text1.geometry, (Geometry{7000, 7800, 3000, 1100}));
    at(1, 0, 20);
    EXPECT_TRUE(h.testo1.Text1.visible);
    EXPECT_EQ(h.testo1.Text1.geometry.left, 8900);
}

TEST_F(BlockCommandsTest, ShowsATextColumnAndRunsALoneDashLineAsAOneLineColumn) {
    h.script({"01:00:10Column K", "01:00:11also12K", "end-", "01:00:20Dash line-",
              "01:00:20same12C", "01:00:21next12C", "**"});
    at(1, 0, 10);
    EXPECT_EQ(h.testo1.Text1.text, "Column \r\n01:00:11also12K\r\nend");
    EXPECT_TRUE(h.testo1.Text1.visible);
    EXPECT_EQ(h.testo1.Text1.geometry, (Geometry{7000, 100, 4000, 8000}));
    at(1, 0, 20);
    EXPECT_EQ(h.testo1.Text1.text, "Dash line");
    at(1, 0, 21);
    EXPECT_EQ(h.log.lines, (std::vector<int>{0, 3, 5}));
}

TEST_F(BlockCommandsTest, ResumesThePausedCdOnceThePauseHasRunItsLength) {
    h.seconds.now = 100.4f;
    h.script({"01:00:40Wait05S", "doneP", "**"});
    cd.at(1, 0, 40);
    h.clock.Timer1_Timer();
    EXPECT_EQ(h.state.pauseActive, 1);
    h.seconds.now = 105.3f;
    h.clock.Timer1_Timer();
    EXPECT_EQ(cd.commands, std::vector<CdCommand>{CdCommand::Pause});
    h.seconds.now = 105.4f;
    h.clock.Timer1_Timer();
    EXPECT_EQ(cd.commands, (std::vector<CdCommand>{CdCommand::Pause, CdCommand::Play}));
    EXPECT_EQ(h.state.pauseActive, 0);
}

}  // namespace
}  // namespace quilo
