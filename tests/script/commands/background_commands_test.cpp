// "V", "W", "T" and "N".
#include <gtest/gtest.h>

#include "support/CommandFixture.h"

namespace quilo {
namespace {

using namespace quilo::testing;

using BackgroundCommandsTest = CommandTest;

TEST_F(BackgroundCommandsTest, LoadsANewBackgroundOnceAndOnlyRepaintsForTheSameName) {
    h.state.firstFitWidth = kDisplayWidth;
    h.state.firstFitHeight = kDisplayHeight;
    h.state.backgroundPane = 1;
    h.script({"01:00:30sea.bmpV", "01:00:31sea.bmpV", "**"});
    at(1, 0, 30);
    EXPECT_EQ(h.testo1.ImgEdit[4].source, "sea.bmp");
    EXPECT_EQ(h.state.captionWidth, 640 * 19);
    EXPECT_EQ(h.testo1.Label2[1].backStyle, kTransparent);
    EXPECT_EQ(h.testo1.Label2[1].geometry.width, 640 * 19);
    EXPECT_EQ(h.state.backgroundPane, 1);
    const auto probes = h.prober.probed.size();
    h.presenter.repaints.clear();
    at(1, 0, 31);
    EXPECT_EQ(h.prober.probed.size(), probes);
    EXPECT_EQ(h.presenter.repaints, std::vector<Repaint>{Repaint::Label2_1});
}

TEST_F(BackgroundCommandsTest, EndsThePassAtABlankName) {
    h.script({"01:00:30 V", "01:00:30after12C", "**"});
    at(1, 0, 30);
    EXPECT_EQ(h.state.backgroundImage, " ");
    EXPECT_EQ(h.state.resumeLine, 0);
    EXPECT_EQ(h.log.letters, "V");
    EXPECT_TRUE(h.prober.probed.empty());
}

TEST_F(BackgroundCommandsTest, ShowsTheTextBoxBesideANewBackgroundOnlyWhenItHoldsText) {
    h.testo1.Text1.geometry.left = 1234;
    h.testo1.Text1.visible = false;
    h.script({"01:00:30sea.bmpV", "01:00:31wide.bmpV", "**"});
    at(1, 0, 30);
    EXPECT_EQ(h.testo1.Text1.geometry.left, 1234);
    EXPECT_FALSE(h.testo1.Text1.visible);
    h.testo1.Text1.text = "words";
    at(1, 0, 31);
    EXPECT_EQ(h.testo1.Text1.geometry.left, 8900);
    EXPECT_TRUE(h.testo1.Text1.visible);
}

TEST_F(BackgroundCommandsTest, PlaysASoundOnceUntilAPlainCaptionForgetsIt) {
    h.script(
        {"01:00:40ding.wavW", "01:00:50ding.wavW", "01:00:55words", "01:00:58ding.wavW", "**"});
    at(1, 0, 40);
    at(1, 0, 50);
    EXPECT_EQ(h.sound.played.size(), 1u);
    EXPECT_EQ(h.sound.played[0], (h.root.path() / "Allegato" / "ding.wav").string());
    at(1, 0, 55);
    at(1, 0, 58);
    EXPECT_EQ(h.sound.played.size(), 2u);
}

TEST_F(BackgroundCommandsTest, SaysErrorOnceForASoundThatCannotBePlayed) {
    h.sound.unplayable = {"missing.wav"};
    h.script({"01:00:40missing.wavW", "01:00:41missing.wavW", "**"});
    at(1, 0, 40);
    at(1, 0, 41);
    EXPECT_EQ(h.messages.shown, std::vector<std::string>{"Error!"});
    EXPECT_EQ(h.state.lastSoundFile, "missing.wav");
}

// Nine characters leave the name empty: the command runs as for any name,
// and the empty file is as missing as a misspelt one.
TEST_F(BackgroundCommandsTest, RunsNameLinesOfNineCharactersOnTheEmptyName) {
    h.sound.unplayable = {"Allegato", "Allegato/"};
    h.state.lastSoundFile = " ";
    h.testo1.Text1.text = "words";
    h.testo1.Text1.visible = false;
    h.script({"01:00:40W", "01:00:41V", "01:00:42F", "01:00:42after12C", "**"});
    at(1, 0, 40);
    EXPECT_EQ(h.sound.played.size(), 1u);
    EXPECT_EQ(h.messages.shown, std::vector<std::string>{"Error!"});
    at(1, 0, 41);
    EXPECT_EQ(h.state.backgroundImage, "");
    EXPECT_EQ(h.testo1.Text1.geometry.left, 8900);
    EXPECT_TRUE(h.testo1.Text1.visible);
    EXPECT_FALSE(h.testo1.ImgEdit[3].hasPicture() || h.testo1.ImgEdit[4].hasPicture());
    h.testo1.Label1[0].caption = "old";
    at(1, 0, 42);
    EXPECT_EQ(h.testo1.Label1[0].caption, " ");
    EXPECT_EQ(h.testo1.Text1.geometry.left, 100);
    EXPECT_EQ(h.log.letters, "WVF");  // the picture ended the pass before "after"
}

TEST_F(BackgroundCommandsTest, ReappliesHeaderDefaultsAndThePlainBackground) {
    h.script({"01:00:01x12C", "99 r   10", "99 g   20", "99 b   30", "99 r  200", "99 g  200",
              "99 b  200", "99:00:00sea.bmpV", "01:00:10T", "01:00:20N", "**"});
    at(1, 0, 10);
    EXPECT_EQ(h.testo1.backColour, (Rgb{10, 20, 30}));
    EXPECT_EQ(h.state.backgroundPane, 1);
    EXPECT_EQ(h.testo1.Label2[0].backStyle, kTransparent);
    at(1, 0, 20);
    EXPECT_EQ(h.testo1.Label2[0].backStyle, kOpaque);
    EXPECT_EQ(h.testo1.Label2[0].geometry.width, kDisplayWidth);
    EXPECT_EQ(h.state.previousBackground, " ");
}

}  // namespace
}  // namespace quilo
