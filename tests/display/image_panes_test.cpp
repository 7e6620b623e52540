#include "display/ImagePanes.h"

#include <gtest/gtest.h>

#include "support/DisplayParts.h"

namespace quilo {
namespace {

using namespace quilo::testing;

class ImagePanesTest : public ::testing::Test, protected DisplayParts {
  protected:
    ImagePanesTest() {
        prober.sizes = {{"/photo.bmp", {640, 480}},
                        {"/tall.bmp", {300, 600}},
                        {"/wide.bmp", {6000, 100}},
                        {"/tiny.bmp", {1, 1}},
                        {"/huge.jpg", {20000, 20000}}};
    }

    // Loads `file` through CaricaImmagine with a full-size box.
    void loadPicture(const std::string& file, double startScale, int secondsToNext) {
        state.pictureFile = file;
        state.fitBoxWidth = kDisplayWidth;
        state.fitBoxHeight = kDisplayHeight;
        state.zoomFactor = startScale;
        state.secondsToNext = secondsToNext;
        panes.CaricaImmagine();
    }
};

TEST_F(ImagePanesTest, FindsTheFirstWholeScaleAtWhichThePictureReachesTheBox) {
    loadPicture("photo.bmp", 4, 3);
    EXPECT_EQ(state.zoomFactor, 19);
    EXPECT_EQ(state.fittedWidth, 640 * 19);
    EXPECT_EQ(state.fittedHeight, 480 * 19);
    const ImagePane& pane = testo1.ImgEdit[1];
    EXPECT_EQ(pane.geometry.width, 640 * 19);
    EXPECT_EQ(pane.geometry.height, 480 * 19);
    EXPECT_EQ(pane.drawWidth, pane.geometry.width);
    EXPECT_EQ(pane.source, "photo.bmp");
    EXPECT_EQ(pane.file, (root.path() / "Allegato" / "photo.bmp").string());
}

TEST_F(ImagePanesTest, KeepsTheStartScaleForAPictureThatAlreadyOverflows) {
    loadPicture("wide.bmp", 4, 3);
    EXPECT_EQ(state.zoomFactor, 4);
    EXPECT_EQ(state.fittedWidth, 24000);
}

TEST_F(ImagePanesTest, RaisesAnEmptyBoxSearchToScaleTwoWithNoFittedSize) {
    state.pictureFile = "photo.bmp";
    state.fitBoxWidth = 0;
    state.fitBoxHeight = kDisplayHeight;
    state.zoomFactor = 2;
    state.secondsToNext = 3;
    panes.CaricaImmagine();
    EXPECT_EQ(state.zoomFactor, 2);
    EXPECT_EQ(state.fittedWidth, 0);
    EXPECT_EQ(state.fittedHeight, 0);
    EXPECT_EQ(testo1.ImgEdit[1].geometry.width, 1280);
}

TEST_F(ImagePanesTest, SwapsPanesAtOnceWithSixSecondsAndHoldsTheNewOneBackWithSeven) {
    testo1.ImgEdit[2].visible = true;
    loadPicture("photo.bmp", 4, 6);
    EXPECT_TRUE(testo1.ImgEdit[1].visible);
    EXPECT_FALSE(testo1.ImgEdit[2].visible);
    EXPECT_EQ(state.picturePane, 1);

    loadPicture("tall.bmp", 4, 7);
    EXPECT_FALSE(testo1.ImgEdit[2].visible);
    EXPECT_TRUE(testo1.ImgEdit[1].visible);  // the old picture stays on view
    EXPECT_EQ(state.revealWidth, static_cast<int>(testo1.ImgEdit[2].geometry.width));
    EXPECT_EQ(state.picturePane, 0);
}

TEST_F(ImagePanesTest, AlternatesThePanesOfThePicturePair) {
    state.picturePane = 1;
    loadPicture("photo.bmp", 4, 3);
    EXPECT_EQ(testo1.ImgEdit[2].source, "photo.bmp");
    loadPicture("tall.bmp", 4, 3);
    EXPECT_EQ(testo1.ImgEdit[1].source, "tall.bmp");
    EXPECT_EQ(state.picturePane, 1);
}

std::vector<float> tops(const RecordingPresenter& p) {
    std::vector<float> values;
    for (const auto& f : p.frameGeometry) values.push_back(f.first.top);
    return values;
}

TEST_F(ImagePanesTest, SlidesAWidePictureUpFromBelowInStepsChosenByTheTimeLeft) {
    const std::pair<int, std::size_t> cases[] = {{19, 5}, {20, 9}, {39, 21}, {40, 41}};
    for (const auto& [seconds, positions] : cases) {
        presenter.frameGeometry.clear();
        state.picturePane = 0;
        state.lastPictureFile.clear();
        state.pictureFile = "photo.bmp";
        state.fitBoxWidth = kDisplayWidth;
        state.fitBoxHeight = kDisplayHeight;
        state.zoomFactor = 4;
        state.secondsToNext = seconds;
        panes.ScorriImmagine();
        const auto ys = tops(presenter);
        ASSERT_EQ(ys.size(), positions) << seconds;
        EXPECT_EQ(ys.front(), 8000);
        EXPECT_EQ(ys.back(), 0);
        EXPECT_EQ(presenter.frameGeometry.back().first.left, 0);
        EXPECT_FALSE(testo1.ImgEdit[2].visible);
        EXPECT_TRUE(testo1.ImgEdit[1].visible);
    }
}

TEST_F(ImagePanesTest, SlidesAnUprightPictureInFromTheRight) {
    state.pictureFile = "tall.bmp";
    state.fitBoxWidth = kDisplayWidth;
    state.fitBoxHeight = kDisplayHeight;
    state.zoomFactor = 4;
    state.secondsToNext = 19;
    panes.ScorriImmagine();
    std::vector<float> lefts;
    for (const auto& f : presenter.frameGeometry) lefts.push_back(f.first.left);
    EXPECT_EQ(lefts, (std::vector<float>{12000, 10000, 8000, 6000, 4000, 2000, 0}));
}

TEST_F(ImagePanesTest, WipesFromOneTwipToTheFullWidth) {
    state.picturePane = 1;
    state.revealWidth = 100;
    state.secondsToNext = 10;
    panes.EspandiImmagine();
    std::vector<float> widths;
    for (const auto& f : presenter.frameGeometry) widths.push_back(f.first.width);
    EXPECT_EQ(widths, (std::vector<float>{1, 11, 21, 31, 41, 51, 61, 71, 81, 91, 100}));
    EXPECT_TRUE(testo1.ImgEdit[1].visible);
    EXPECT_FALSE(testo1.ImgEdit[2].visible);
}

TEST_F(ImagePanesTest, WipesANarrowPaneInOneStep) {
    state.picturePane = 1;
    state.revealWidth = 5;
    state.secondsToNext = 10;
    panes.EspandiImmagine();
    EXPECT_EQ(state.secondsToNext, 1);
    ASSERT_EQ(presenter.frameGeometry.size(), 2u);
    EXPECT_EQ(presenter.frameGeometry[0].first.width, 1);
    EXPECT_EQ(presenter.frameGeometry[1].first.width, 5);
}

TEST_F(ImagePanesTest, DoesNotWipeWithSixSecondsOrLess) {
    state.revealWidth = 500;
    state.secondsToNext = 6;
    panes.EspandiImmagine();
    EXPECT_EQ(presenter.frames, 0);
}

TEST_F(ImagePanesTest, WipesAPaneWiderThanSixteenBitsCorrectly) {
    loadPicture("huge.jpg", 4, 10);
    EXPECT_EQ(state.revealWidth, 80000);
    panes.EspandiImmagine();
    EXPECT_EQ(presenter.frameGeometry.back().first.width, 80000);
    EXPECT_EQ(presenter.frameGeometry[1].first.width, 8001);
}

TEST_F(ImagePanesTest, GrowsThePictureInTheFirstPaneScaleByScale) {
    const std::pair<int, int> steps[] = {{7, 10}, {8, 8}, {9, 8}, {10, 5}};
    for (const auto& [seconds, step] : steps) {
        presenter.frameGeometry.clear();
        state.pictureFile = "photo.bmp";
        state.fitBoxWidth = kDisplayWidth;
        state.fitBoxHeight = kDisplayHeight;
        state.secondsToNext = seconds;
        panes.IngrandisciImmagine();
        EXPECT_EQ(presenter.frameGeometry[1].first.width, 640 * (1 + step)) << seconds;
    }
    // With step 5: frames at scales 1, 6, 11, 16, 21, then the fitted scale
    // 19 (the first to reach the box), not 20, which would run past it.
    std::vector<float> widths;
    for (const auto& f : presenter.frameGeometry) widths.push_back(f.first.width);
    EXPECT_EQ(widths, (std::vector<float>{640, 3840, 7040, 10240, 13440, 12160}));
    EXPECT_EQ(state.zoomFactor, 19);
    EXPECT_EQ(state.fittedWidth, 640 * 21);
    EXPECT_EQ(state.picturePane, 1);
    EXPECT_TRUE(testo1.ImgEdit[1].visible);
}

TEST_F(ImagePanesTest, EndsTheGrowthWithinTheFittedSizeAndNeverAtNoSize) {
    // {picture, seconds to next, final scale}: 2925 x 2194 reaches the box
    // at 4 (whole); step 10 lands on 11 and would end at 10. A frame landing on
    // the fitted scale ends one below it, inside the box. A picture as wide as
    // the display reaches it at the first frame and would end at scale 0.
    prober.sizes["/whole.png"] = {2925, 2194};
    prober.sizes["/exact.png"] = {1097, 798};  // reaches the box at 11
    // The guide's example: fitted at 11; steps of 10 and 5 land on 11 and end
    // at 10, steps of 8 land on 17 and end at the fitted 11.
    prober.sizes["/guide.png"] = {1064, 798};
    const std::tuple<std::string, int, double> cases[] = {
        {"whole.png", 7, 4},  {"exact.png", 7, 10}, {"huge.jpg", 10, 1},  {"tiny.bmp", 10, 8775},
        {"guide.png", 7, 10}, {"guide.png", 8, 11}, {"guide.png", 9, 11}, {"guide.png", 10, 10}};
    for (const auto& [file, seconds, scale] : cases) {
        state.pictureFile = file;
        state.fitBoxWidth = kDisplayWidth;
        state.fitBoxHeight = kDisplayHeight;
        state.secondsToNext = seconds;
        panes.IngrandisciImmagine();
        EXPECT_EQ(state.zoomFactor, scale) << file;
        EXPECT_GT(testo1.ImgEdit[1].geometry.width, 0) << file;
    }
}

TEST_F(ImagePanesTest, ShowsNothingForAMissingPictureAndKeepsTheCaptionSize) {
    for (int round = 0; round < 2; ++round) {
        loadPicture("missing.bmp", 4, 10);
        EXPECT_EQ(state.zoomFactor, 4);
        EXPECT_EQ(state.fittedWidth, kDisplayWidth);
        EXPECT_EQ(state.fittedHeight, kDisplayHeight);
        panes.EspandiImmagine();
        panes.ScorriImmagine();
        state.secondsToNext = 10;
        panes.IngrandisciImmagine();
        EXPECT_EQ(state.fittedWidth, kDisplayWidth);
        EXPECT_EQ(state.zoomFactor, 1);
    }
    EXPECT_FALSE(testo1.ImgEdit[1].hasPicture());
    ASSERT_EQ(warnings.messages.size(), 1u);
    EXPECT_NE(warnings.messages[0].find("missing.bmp"), std::string::npos);
}

TEST_F(ImagePanesTest, LoadsTheBackgroundAtScaleThreeOrMore) {
    state.backgroundImage = "wide.bmp";
    state.fitBoxWidth = kDisplayWidth;
    state.fitBoxHeight = kDisplayHeight;
    panes.CaricaSfondo();
    EXPECT_EQ(state.zoomFactor, 3);
    EXPECT_EQ(state.fittedWidth, 18000);
    EXPECT_EQ(testo1.ImgEdit[3].geometry.width, 18000);
    EXPECT_FALSE(testo1.ImgEdit[4].visible);

    state.backgroundPane = 1;
    state.backgroundImage = "photo.bmp";
    panes.CaricaSfondo();
    EXPECT_EQ(state.zoomFactor, 19);
    EXPECT_EQ(testo1.ImgEdit[4].source, "photo.bmp");
    EXPECT_TRUE(testo1.ImgEdit[4].visible);
    EXPECT_EQ(testo1.ImgEdit[3].source, "wide.bmp");
}

}  // namespace
}  // namespace quilo
