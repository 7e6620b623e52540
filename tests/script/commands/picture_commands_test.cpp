// The picture commands "M", "A", "Z", "F" and "R".
#include <gtest/gtest.h>

#include "support/CommandFixture.h"

namespace quilo {
namespace {

using namespace quilo::testing;

using PictureCommandsTest = CommandTest;

TEST_F(PictureCommandsTest, CountsSecondsToTheNextLineFromTheSecondsFieldsAlone) {
    EXPECT_EQ(secondsBetween(50, 5), 15);
    EXPECT_EQ(secondsBetween(10, 10), 60);
    EXPECT_EQ(secondsBetween(10, 13), 3);  // the next line a minute and 3 seconds later
}

TEST_F(PictureCommandsTest, SlidesAPictureInWhenSevenSecondsOrMoreRemain) {
    h.script({"01:00:50photo1.bmpM", "01:01:05x12C", "**"});
    at(1, 0, 50);
    EXPECT_EQ(h.state.secondsToNext, 15);
    EXPECT_EQ(h.presenter.frames, 5);  // step 2000 from 8000 up to 0
    EXPECT_EQ(h.testo1.ImgEdit[1].geometry.top, 0);
    EXPECT_TRUE(h.testo1.ImgEdit[1].visible);
    EXPECT_EQ(h.testo1.Label1[0].geometry.width, 640 * 19);
    EXPECT_EQ(h.testo1.Label1[0].caption, " ");
    EXPECT_EQ(h.state.resumeLine, 0);  // the pass ended at the picture line
}

TEST_F(PictureCommandsTest, ReplacesThePictureAtOnceWithLessTime) {
    h.script({"01:00:10photo1.bmpM", "01:01:13x12C", "**"});
    at(1, 0, 10);
    EXPECT_EQ(h.state.secondsToNext, 3);
    EXPECT_EQ(h.presenter.frames, 0);
    EXPECT_TRUE(h.testo1.ImgEdit[1].visible);
    EXPECT_EQ(h.testo1.ImgEdit[1].geometry.left, 0);
}

TEST_F(PictureCommandsTest, PassesOverThePictureAlreadyOnView) {
    h.state.lastPictureFile = "photo1.bmp";
    h.script({"01:00:10photo1.bmpM", "01:00:10twin12C", "01:00:10third12C", "**"});
    at(1, 0, 10);
    EXPECT_EQ(h.log.letters, "M");
    EXPECT_EQ(h.state.resumeLine, 4);
    EXPECT_TRUE(h.prober.probed.empty());
}

TEST_F(PictureCommandsTest, WipesPicturesInAndPlacesTheThirdsWithTheirTextBox) {
    struct Case {
        std::string letter;
        float paneLeft;
        float textLeft;
        int box;
    };
    const Case cases[] = {
        {"A", 0, 8900, 11701}, {"F", 11701.0f / 3, 100, 7801}, {"R", 23402.0f / 3, 6000, 3900}};
    for (const Case& c : cases) {
        FakeCdDevice device;
        Harness one{device};
        one.testo1.Text1.text = "words";
        one.script({"01:00:10photo2.bmp" + c.letter, "01:00:25x12C", "**"});
        device.at(1, 0, 10);
        one.reader.LeggiRiga();
        EXPECT_EQ(one.state.fitBoxWidth, c.box) << c.letter;
        EXPECT_EQ(one.testo1.ImgEdit[1].geometry.left, c.paneLeft) << c.letter;
        EXPECT_EQ(one.testo1.Text1.geometry.left, c.textLeft) << c.letter;
        EXPECT_TRUE(one.testo1.Text1.visible);
        EXPECT_EQ(one.presenter.frameGeometry.back().first.width, one.state.revealWidth)
            << c.letter;
        EXPECT_EQ(one.testo1.Label1[0].geometry.width, one.state.fittedWidth);
    }
}

TEST_F(PictureCommandsTest, GivesANarrowBackgroundsRightThirdAnEmptyBox) {
    h.state.captionWidth = 7000;
    h.script({"01:00:10photo1.bmpR", "01:00:25x12C", "**"});
    at(1, 0, 10);
    EXPECT_LE(h.state.fitBoxWidth, 0);
    EXPECT_EQ(h.state.zoomFactor, 2);
    EXPECT_EQ(h.testo1.Label1[0].geometry.width, 0);
    EXPECT_EQ(h.testo1.ImgEdit[1].geometry.width, 1280);
}

TEST_F(PictureCommandsTest, GrowsAPictureInTheFirstPane) {
    h.state.picturePane = 1;
    h.testo1.ImgEdit[2].visible = true;
    h.script({"01:00:10photo1.bmpZ", "01:00:20x12C", "**"});
    at(1, 0, 10);
    EXPECT_EQ(h.state.secondsToNext, 10);
    EXPECT_EQ(h.presenter.frames, 6);  // scales 1, 6, 11, 16, 21 and the final 20
    EXPECT_EQ(h.state.picturePane, 1);
    EXPECT_FALSE(h.testo1.ImgEdit[2].visible);
    EXPECT_EQ(h.testo1.Label1[0].geometry.width, 640 * 21);
}

TEST_F(PictureCommandsTest, KeepsGoingWithoutTheFileOfAMissingPicture) {
    h.script({"01:00:10nothing.jpgA", "01:00:30x12C", "**"});
    at(1, 0, 10);
    EXPECT_EQ(h.warnings.messages.size(), 1u);
    EXPECT_EQ(h.testo1.Label1[0].geometry.width, kDisplayWidth);
    at(1, 0, 30);
    EXPECT_EQ(h.log.letters, "AC");
}

}  // namespace
}  // namespace quilo
