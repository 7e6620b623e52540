#include "display/DisplayDefaults.h"

#include <gtest/gtest.h>

#include "display/Colours.h"
#include "support/DisplayParts.h"

namespace quilo {
namespace {

using namespace quilo::testing;

class DisplayDefaultsTest : public ::testing::Test, protected DisplayParts {
  protected:
    DisplayDefaultsTest() {
        prober.sizes = {{"/sea.bmp", {640, 480}}, {"/sky.bmp", {400, 400}}};
        header("0", "0", "64", "255", "255", "0", "99:00:00sea.bmpV");
    }

    void header(const char* r, const char* g, const char* b, const char* tr, const char* tg,
                const char* tb, const std::string& image) {
        const char* values[] = {r, g, b, tr, tg, tb};
        for (int i = 0; i < 6; ++i)
            state.headerLines[i + 1] = std::string("99 colour     ") + values[i];
        state.headerLines[7] = image;
    }
};

TEST_F(DisplayDefaultsTest, AppliesTheHeaderColoursToTheCaptionsAndTheForm) {
    defaults.Tdefault();
    EXPECT_EQ(state.colourTable[3], 64);
    EXPECT_EQ(state.textGreen, 255);
    EXPECT_EQ(testo1.backColour, (Rgb{0, 0, 64}));
    EXPECT_EQ(testo1.Label2[0].back, (Rgb{0, 0, 64}));
    EXPECT_EQ(testo1.Label2[1].fore, (Rgb{255, 255, 0}));
    EXPECT_EQ(testo1.Label1[0].fore, (Rgb{0, 0, 0}));  // picture captions keep theirs
}

TEST_F(DisplayDefaultsTest, ReadsEachComponentFromTheLastThreeCharacters) {
    state.headerLines[1] = "99 red      255";
    state.headerLines[2] = "99 green    a12";
    state.headerLines[3] = "99 blue      7 ";
    state.headerLines[4] = " ";
    state.headerLines[5] = "9";
    state.headerLines[6] = "99 x 1.5";
    defaults.Tdefault();
    EXPECT_EQ(state.backRed, 255);
    EXPECT_EQ(state.backGreen, 0);
    EXPECT_EQ(state.backBlue, 7);
    EXPECT_EQ(state.textRed, 0);
    EXPECT_EQ(state.textGreen, 9);
    EXPECT_EQ(state.textBlue, 2);
}

TEST_F(DisplayDefaultsTest, LoadsTheHeaderBackgroundIntoBothPanesWithTransparentCaptions) {
    defaults.Tdefault();
    EXPECT_EQ(state.backgroundPane, 1);
    EXPECT_EQ(state.previousBackground, "sea.bmp");
    EXPECT_EQ(testo1.ImgEdit[3].source, "sea.bmp");
    EXPECT_EQ(testo1.ImgEdit[4].source, "sea.bmp");
    EXPECT_TRUE(testo1.ImgEdit[4].visible);
    EXPECT_EQ(state.firstFitWidth, 640 * 19);
    EXPECT_EQ(state.captionWidth, 640 * 19);
    EXPECT_EQ(state.captionHeight, 480 * 19);
    for (const Label& caption : testo1.Label2) {
        EXPECT_EQ(caption.backStyle, kTransparent);
        EXPECT_EQ(caption.geometry.width, 640 * 19);
        EXPECT_EQ(caption.geometry.height, 480 * 19);
    }
    EXPECT_EQ(testo1.ImgEdit[3].geometry.left, 0);
    EXPECT_EQ(testo1.ImgEdit[4].geometry.top, 0);
    // The labels are repainted between the two passes.
    EXPECT_EQ(presenter.repaints,
              (std::vector<Repaint>{Repaint::Label2_1, Repaint::Label1_0, Repaint::Label1_1}));
}

TEST_F(DisplayDefaultsTest, OnlyReappliesColoursWhenCalledTwiceWithTheSameHeader) {
    defaults.Tdefault();
    const auto probes = prober.probed.size();
    header("10", "20", "30", "0", "0", "0", "99:00:00sea.bmpV");
    defaults.Tdefault();
    EXPECT_EQ(prober.probed.size(), probes);
    EXPECT_EQ(state.backgroundPane, 1);
    EXPECT_EQ(testo1.backColour, (Rgb{10, 20, 30}));
}

TEST_F(DisplayDefaultsTest, LoadsTheSameBackgroundAgainAfterThePlainBackground) {
    defaults.Tdefault();
    const auto probes = prober.probed.size();
    defaults.FondoNormale();
    defaults.Tdefault();
    EXPECT_EQ(prober.probed.size(), probes + 2);
}

TEST_F(DisplayDefaultsTest, TreatsABlankOrShortImageEntryAsNoBackground) {
    for (const std::string entry : {"99:00:00 V", " ", "99:00", "99:00:00V"}) {
        Modulo1 fresh;
        state.previousBackground = fresh.previousBackground;
        state.headerLines[7] = entry;
        defaults.Tdefault();
        EXPECT_EQ(state.backgroundImage, " ") << entry;
        EXPECT_TRUE(prober.probed.empty()) << entry;
        EXPECT_EQ(state.backgroundPane, 0);
    }
    EXPECT_EQ(testo1.backColour, (Rgb{0, 0, 64}));
}

TEST_F(DisplayDefaultsTest, KeepsCaptionsFullSizeWhenTheBackgroundIsMissing) {
    header("0", "0", "0", "255", "255", "255", "99:00:00nowhere.jpgV");
    defaults.Tdefault();
    EXPECT_EQ(state.captionWidth, kDisplayWidth);
    EXPECT_EQ(state.captionHeight, kDisplayHeight);
    EXPECT_EQ(testo1.Label2[1].geometry.width, kDisplayWidth);
    EXPECT_EQ(warnings.messages.size(), 1u);
}

TEST_F(DisplayDefaultsTest, ReturnsToThePlainBackground) {
    defaults.Tdefault();
    testo1.Label2[0].fore = Rgb{1, 2, 3};
    defaults.FondoNormale();
    EXPECT_EQ(state.backgroundImage, " ");
    EXPECT_EQ(state.previousBackground, " ");
    for (const Label& caption : testo1.Label2) {
        EXPECT_EQ(caption.backStyle, kOpaque);
        EXPECT_EQ(caption.geometry.width, kDisplayWidth);
        EXPECT_EQ(caption.geometry.height, kDisplayHeight);
        EXPECT_EQ(caption.fore, (Rgb{255, 255, 0}));
    }
    for (int pane : {3, 4}) {
        EXPECT_TRUE(testo1.ImgEdit[pane].visible);
        EXPECT_EQ(testo1.ImgEdit[pane].geometry.width, kDisplayWidth);
        EXPECT_EQ(testo1.ImgEdit[pane].geometry.height, kDisplayHeight);
    }
    EXPECT_EQ(state.backgroundPane, 1);
    EXPECT_EQ(state.captionWidth, 640 * 19);  // only the callers reset the caption size
}

}  // namespace
}  // namespace quilo
