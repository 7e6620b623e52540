// "C", "B", "E", "L" and the plain-text caption.
#include <gtest/gtest.h>

#include "support/CommandFixture.h"

namespace quilo {
namespace {

using namespace quilo::testing;

using CaptionCommandsTest = CommandTest;

TEST_F(CaptionCommandsTest, SetsBothCaptionsInTheNumberedTextColour) {
    h.testo1.Text1.visible = true;
    h.script({"01:00:05Hello12C", "**"});
    at(1, 0, 5);
    for (const Label& caption : h.testo1.Label2) {
        EXPECT_EQ(caption.caption, "Hello");
        EXPECT_EQ(caption.fore, (Rgb{255, 0, 0}));
    }
    EXPECT_FALSE(h.testo1.Text1.visible);
}

TEST_F(CaptionCommandsTest, UsesThePresentationsOwnColoursForNinetyNine) {
    h.state.textRed = 255;
    h.state.textGreen = 255;
    h.state.backBlue = 300;  // shows as 255
    h.script({"01:00:05Hello99C", "01:00:06Night99B", "**"});
    at(1, 0, 5);
    EXPECT_EQ(h.testo1.Label2[1].fore, (Rgb{255, 255, 0}));
    at(1, 0, 6);
    EXPECT_EQ(h.testo1.Label2[0].back, (Rgb{0, 0, 255}));
    EXPECT_EQ(h.testo1.backColour, (Rgb{0, 0, 255}));
}

TEST_F(CaptionCommandsTest, ColoursTheCaptionsAndTheWholeFormBehindThem) {
    h.script({"01:00:05Night01B", "**"});
    at(1, 0, 5);
    EXPECT_EQ(h.testo1.Label2[0].back, (Rgb{0, 0, 128}));
    EXPECT_EQ(h.testo1.Label2[1].back, (Rgb{0, 0, 128}));
    EXPECT_EQ(h.testo1.backColour, (Rgb{0, 0, 128}));
    EXPECT_EQ(h.testo1.Label2[0].caption, "Night");
}

TEST_F(CaptionCommandsTest, KeepsTheColourForANumberThatNamesNoneButSetsTheText) {
    h.testo1.Label2[0].fore = Rgb{1, 2, 3};
    h.testo1.Label1[0].fore = Rgb{4, 5, 6};
    h.script({"01:00:01Odd42C", "01:00:02Odd99E", "01:00:03Odd-1L", "01:00:04Short", "01:00:051C",
              "**"});
    at(1, 0, 1);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Odd");
    EXPECT_EQ(h.testo1.Label2[0].fore, (Rgb{1, 2, 3}));
    at(1, 0, 2);  // "E" knows no 99
    EXPECT_EQ(h.testo1.Label2[0].fore, (Rgb{1, 2, 3}));
    at(1, 0, 3);
    EXPECT_EQ(h.testo1.Label1[0].fore, (Rgb{4, 5, 6}));
    at(1, 0, 5);  // shorter than 11 characters: no text, no number
    EXPECT_EQ(h.testo1.Label2[0].caption, "");
    EXPECT_EQ(h.testo1.Label2[0].fore, (Rgb{1, 2, 3}));
}

TEST_F(CaptionCommandsTest, ClosesWithACaptionAndStopsTheCd) {
    h.state.captionWidth = 9000;
    h.state.captionHeight = 7000;
    h.script({"01:00:05Bye00E", "**"});
    at(1, 0, 5);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Bye");
    EXPECT_EQ(h.testo1.Label2[1].fore, (Rgb{0, 0, 0}));
    EXPECT_EQ(cd.commands, std::vector<CdCommand>{CdCommand::Stop});
    EXPECT_EQ(h.testo1.Label2[0].geometry.width, 9000);
    EXPECT_EQ(h.testo1.Label2[1].geometry.height, 7000);
}

TEST_F(CaptionCommandsTest, AddsLinesToBothPictureCaptionsAfterABlank) {
    h.script({"01:00:04Plain", "01:00:05one14L", "01:00:06two10L", "**"});
    at(1, 0, 4);
    at(1, 0, 5);
    at(1, 0, 6);
    EXPECT_EQ(h.testo1.Label1[0].caption, " \r\none\r\ntwo");
    EXPECT_EQ(h.testo1.Label1[1].caption, " \r\none\r\ntwo");
    EXPECT_EQ(h.testo1.Label1[1].fore, (Rgb{0, 255, 0}));
    EXPECT_EQ(h.presenter.repaints.back(), Repaint::Label2_1);
}

TEST_F(CaptionCommandsTest, PutsPlainTextUpAndClearsEverythingElse) {
    h.testo1.ImgEdit[1].visible = true;
    h.testo1.ImgEdit[3].visible = true;
    h.testo1.Text1 = {"old", {1, 2, 3, 4}, {}, true};
    h.testo1.Label1[0].caption = "x";
    h.state.lastPictureFile = "a.bmp";
    h.state.lastSoundFile = "a.wav";
    h.state.previousBackground = "sea.bmp";
    h.script({"01:00:05Just words, città", "**"});
    at(1, 0, 5);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Just words, città");
    EXPECT_EQ(h.testo1.Label2[1].caption, "Just words, città");
    EXPECT_FALSE(h.testo1.ImgEdit[1].visible);
    EXPECT_TRUE(h.testo1.ImgEdit[3].visible);
    EXPECT_FALSE(h.testo1.Text1.visible);
    EXPECT_EQ(h.testo1.Text1.text, "");
    EXPECT_EQ(h.testo1.Label1[0].caption, " ");
    EXPECT_EQ(h.state.lastPictureFile, " ");
    EXPECT_EQ(h.state.lastSoundFile, " ");
    EXPECT_EQ(h.state.previousBackground, " ");
}

TEST_F(CaptionCommandsTest, TreatsALowerCaseLastLetterAsPlainText) {
    h.script({"01:00:05Ciao12c", "**"});
    at(1, 0, 5);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Ciao12c");
}

}  // namespace
}  // namespace quilo
