#include "display/view/DisplayView.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include "display/view/QtPictureProber.h"
#include "shared/Modulo1.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using testing::TempDir;

// Renders the model into an image of the given size.
QImage render(const DisplayForm& model, int width, int height) {
    DisplayView view(model);
    view.resize(width, height);
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

std::string savePicture(const TempDir& dir, const char* name, QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const auto path = (dir.path() / name).string();
    image.save(QString::fromStdString(path));
    return path;
}

void fullScreenPicture(ImagePane& pane, const std::string& file, QSize pixels) {
    pane.file = file;
    pane.source = file;
    pane.pixelWidth = pixels.width();
    pane.pixelHeight = pixels.height();
    pane.geometry = {0, 0, kDisplayWidth, kDisplayHeight};
    pane.drawWidth = kDisplayWidth;
    pane.drawHeight = kDisplayHeight;
    pane.visible = true;
}

// Counts pixels of exactly `colour` inside `area`.
int countColour(const QImage& image, QRect area, QColor colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) n += image.pixelColor(x, y) == colour;
    }
    return n;
}

TEST(DisplayView, ResolvesTheDesignFontsToAMetricCompatibleFamily) {
    installFontSubstitutes();
    EXPECT_EQ(QFontInfo(QFont("Arial")).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(QFont("MS Sans Serif")).family(), "Liberation Sans");
}

TEST(DisplayView, LetterboxesTheDisplayAreaInTheFormsBackColourOnAWideWindow) {
    DisplayForm model;
    model.backColour = Rgb{0, 0, 64};
    model.Label2[0].backStyle = kOpaque;
    model.Label2[0].back = Rgb{200, 0, 0};
    model.Label2[0].geometry = {0, 0, kDisplayWidth, kDisplayHeight};
    const QImage image = render(model, 1600, 900);
    // 11701 x 8776 scaled into 900 rows is 1200 columns wide, centred.
    EXPECT_EQ(image.pixelColor(100, 450), QColor(0, 0, 64));
    EXPECT_EQ(image.pixelColor(1500, 450), QColor(0, 0, 64));
    EXPECT_EQ(image.pixelColor(210, 450), QColor(200, 0, 0));
    EXPECT_EQ(image.pixelColor(1390, 450), QColor(200, 0, 0));
}

TEST(DisplayView, PaintsCaptionTextInItsColourWhereTheCaptionIs) {
    installFontSubstitutes();
    DisplayForm model;
    Label& caption = model.Label2[0];
    caption.caption = "BENVENUTI\r\nseconda riga";
    caption.fore = Rgb{255, 255, 0};
    caption.back = Rgb{0, 0, 64};
    caption.backStyle = kOpaque;
    caption.geometry = {0, 0, 6000, 3000};
    model.Label2[1].visible = false;
    const QImage image = render(model, 1170, 878);  // 0.1 px per twip
    EXPECT_GT(countColour(image, QRect(0, 0, 600, 60), QColor(255, 255, 0)), 100);
    EXPECT_EQ(countColour(image, QRect(700, 400, 400, 400), QColor(255, 255, 0)), 0);
}

TEST(DisplayView, ShowsTheBackgroundPictureUnderATransparentCaption) {
    TempDir dir;
    DisplayForm model;
    fullScreenPicture(model.ImgEdit[3], savePicture(dir, "sea.png", {64, 48}, QColor(0, 128, 0)),
                      {64, 48});
    model.Label2[0].backStyle = kTransparent;
    model.Label2[0].geometry = {0, 0, kDisplayWidth, kDisplayHeight};
    model.Label2[0].caption = "x";
    model.Label2[1].visible = false;
    const QImage image = render(model, 1170, 878);
    EXPECT_EQ(image.pixelColor(600, 500), QColor(0, 128, 0));
}

TEST(DisplayView, PaintsAPicturePaneAboveAnOpaqueCaption) {
    TempDir dir;
    DisplayForm model;
    model.Label2[0].backStyle = kOpaque;
    model.Label2[0].back = Rgb{10, 10, 10};
    model.Label2[0].geometry = {0, 0, kDisplayWidth, kDisplayHeight};
    ImagePane& pane = model.ImgEdit[1];
    fullScreenPicture(pane, savePicture(dir, "p.png", {40, 30}, QColor(250, 0, 250)), {40, 30});
    pane.geometry = {1000, 1000, 4000, 3000};
    pane.drawWidth = 4000;
    pane.drawHeight = 3000;
    const QImage image = render(model, 1170, 878);
    EXPECT_EQ(image.pixelColor(300, 250), QColor(250, 0, 250));
    EXPECT_EQ(image.pixelColor(600, 600), QColor(10, 10, 10));
}

TEST(DisplayView, WritesTheTextOfACaptionPairOnceAsTheLabelOfThePaneOnViewHasIt) {
    installFontSubstitutes();
    TempDir dir;
    DisplayForm model;
    const std::string file = savePicture(dir, "p.png", {40, 30}, QColor(0, 0, 0));
    fullScreenPicture(model.ImgEdit[2], file, {40, 30});
    model.ImgEdit[2].geometry.top = 6000;  // leaves the background's caption in sight
    fullScreenPicture(model.ImgEdit[4], file, {40, 30});
    const std::string text = "una riga lunga sopra la foto che va a capo in modo diverso";
    float top = 0;
    for (auto* pair : {&model.Label1, &model.Label2}) {
        for (Label& label : *pair) {
            label.caption = text;
            label.fore = Rgb{255, 255, 0};
            label.backStyle = kTransparent;
        }
        (*pair)[0].geometry = {0, top, 12160, 2000};  // sized for another pane
        (*pair)[1].geometry = {0, top, 4815, 2000};
        top += 3000;
    }
    DisplayForm onlyOnView = model;
    onlyOnView.Label1[0].visible = false;
    onlyOnView.Label2[0].visible = false;
    EXPECT_EQ(render(model, 1170, 878), render(onlyOnView, 1170, 878));
}

TEST(DisplayView, UncoversOnlyThePaneWidthDuringAWipe) {
    TempDir dir;
    DisplayForm model;
    model.Label2[0].visible = false;
    model.Label2[1].visible = false;
    model.Text1.visible = false;
    ImagePane& pane = model.ImgEdit[2];
    fullScreenPicture(pane, savePicture(dir, "w.png", {40, 30}, QColor(0, 200, 200)), {40, 30});
    pane.geometry.width = 2000;  // the picture keeps its fitted size
    const QImage image = render(model, 1170, 878);
    EXPECT_EQ(image.pixelColor(150, 400), QColor(0, 200, 200));
    EXPECT_EQ(image.pixelColor(250, 400), QColor(0, 0, 64));
}

TEST(DisplayView, HidesPanesParkedOutsideTheDisplayArea) {
    TempDir dir;
    DisplayForm model;  // every pane starts at left 12000
    model.Label2[0].visible = false;
    model.Label2[1].visible = false;
    ImagePane& pane = model.ImgEdit[1];
    fullScreenPicture(pane, savePicture(dir, "o.png", {40, 30}, QColor(250, 250, 0)), {40, 30});
    pane.geometry.left = 12000;
    const QImage image = render(model, 1600, 900);
    EXPECT_EQ(countColour(image, image.rect(), QColor(250, 250, 0)), 0);
}

TEST(QtPictureProber, TellsThePixelSizeAndNothingForUnreadableFiles) {
    TempDir dir;
    const auto png = savePicture(dir, "a.png", {33, 21}, Qt::red);
    QtPictureProber prober;
    const auto size = prober.pixelSize(png);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, 33);
    EXPECT_EQ(size->height, 21);
    EXPECT_FALSE(prober.pixelSize((dir.path() / "missing.png").string()).has_value());
    EXPECT_FALSE(prober.pixelSize(dir.write("junk.jpg", "not a picture").string()).has_value());
}

// A camera's photo is decoded no larger than it is drawn, upright as the
// camera held it; the fitting still works from the file's own size.
TEST(PictureCache, DecodesAPictureUprightAndNoLargerThanItIsDrawn) {
    TempDir dir;
    const auto big = savePicture(dir, "big.png", {2000, 1000}, QColor(1, 2, 3));
    const QString file = QString::fromStdString(big);
    EXPECT_EQ(PictureCache::decode(file, {256, 100}).size(), QSize(256, 128));
    EXPECT_EQ(PictureCache::decode(file, {4000, 4000}).size(), QSize(2000, 1000));  // whole
    QtPictureProber prober;
    EXPECT_EQ(prober.pixelSize(big)->width, 2000);

    // A phone held upright stores its photo on its side with EXIF orientation
    // 6: red at the stored left is the top of the picture as taken.
    QImage stored(400, 200, QImage::Format_RGB32);
    stored.fill(Qt::blue);
    QPainter(&stored).fillRect(0, 0, 200, 200, Qt::red);
    const QString phone = QString::fromStdString((dir.path() / "phone.jpg").string());
    QImageWriter writer(phone, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(stored));
    const QImage upright = PictureCache::decode(phone, {100, 200});
    EXPECT_EQ(upright.size(), QSize(100, 200));
    EXPECT_GT(upright.pixelColor(50, 20).red(), 200);
    EXPECT_GT(upright.pixelColor(50, 180).blue(), 200);
    EXPECT_EQ(prober.pixelSize(phone.toStdString())->height, 400);

    // The display paints it upright too, drawn at its upright size.
    DisplayForm form;
    fullScreenPicture(form.ImgEdit[1], phone.toStdString(), {200, 400});
    const QImage screen = render(form, 300, 225);
    EXPECT_GT(screen.pixelColor(150, 20).red(), 200);
    EXPECT_GT(screen.pixelColor(150, 200).blue(), 200);
}

// Pictures decoded and scaled ahead are what the painting gets, at the size
// foreseen; one saved anew meanwhile is read anew, and a missing one is nothing.
TEST(PictureCache, GivesWhatWasPreparedAheadAndNothingStale) {
    TempDir dir;
    const auto a = QString::fromStdString(savePicture(dir, "a.png", {40, 20}, Qt::red));
    const auto b = QString::fromStdString(savePicture(dir, "b.png", {40, 20}, Qt::green));
    PictureCache cache;
    cache.preload(
        {{a, QSize(80, 40), QSize(80, 40)},
         {b, QSize(), QSize()},
         {QString::fromStdString((dir.path() / "none.png").string()), QSize(8, 8), QSize(8, 8)}});
    EXPECT_EQ(cache.scaled(a, {80, 40}).pixelColor(40, 20), QColor(Qt::red));
    EXPECT_EQ(cache.source(b, {}).pixelColor(1, 1), QColor(Qt::green));

    cache.preload({{b, QSize(20, 10), QSize(20, 10)}});  // already decoded: nothing to do
    savePicture(dir, "a.png", {40, 20}, Qt::blue);
    cache.forget(a);
    EXPECT_EQ(cache.scaled(a, {80, 40}).pixelColor(40, 20), QColor(Qt::blue));
    EXPECT_TRUE(
        cache.scaled(QString::fromStdString((dir.path() / "none.png").string()), {8, 8}).isNull());
    // A background on view the whole show is painted with every change: it
    // stays decoded while many pictures come and go (not decoded anew).
    const auto back = QString::fromStdString(savePicture(dir, "back.png", {40, 30}, Qt::cyan));
    for (int n = 0; n < 12; ++n) {
        EXPECT_EQ(cache.source(back, {}).pixelColor(1, 1), QColor(Qt::cyan));
        cache.source(QString::fromStdString(savePicture(
                         dir, ("p" + std::to_string(n) + ".png").c_str(), {40, 30}, Qt::yellow)),
                     {});
    }
    savePicture(dir, "back.png", {40, 30}, Qt::magenta);  // seen only if read again
    EXPECT_EQ(cache.source(back, {}).pixelColor(1, 1), QColor(Qt::cyan));
}

}  // namespace
}  // namespace quilo

namespace quilo {
namespace {

// A caption whose opaque back covers the area hides what lies under it, and
// that is not painted: the screen must come out the same, pixel for pixel, on
// canvases whose area does not fall on whole pixels too.
TEST(DisplayPainter, LeavesOutOnlyWhatACoveringCaptionHides) {
    installFontSubstitutes();
    TempDir dir;
    const std::string sea = savePicture(dir, "mare.png", {64, 48}, QColor(10, 90, 160));
    const auto paint = [](const DisplayForm& form, QSize size, bool everything) {
        DisplayPainter painter;
        painter.setPaintsHidden(everything);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::magenta);  // a pixel left unpainted shows
        QPainter on(&image);
        painter.paint(on, size, form);
        return image;
    };
    for (const int upper : {0, 1}) {
        for (const Geometry g : {Geometry{0, 0, kDisplayWidth, kDisplayHeight},
                                 Geometry{-200, -100, 12400, 9200}, Geometry{0, 0, 11000, 8776}}) {
            DisplayForm form;
            form.backColour = {0, 0, 64};
            fullScreenPicture(form.ImgEdit[3], sea, {64, 48});
            for (Label& caption : form.Label2) {
                caption.visible = true;
                caption.caption = "Sala prima\r\nIl mare";
                caption.fore = {255, 255, 0};
                caption.back = {120, 0, 0};
                caption.backStyle = kOpaque;
                caption.geometry = {0, 0, 6000, 4000};
            }
            form.Label2[upper].geometry = g;
            for (const QSize size : {QSize(1920, 1080), QSize(1366, 768), QSize(1023, 767),
                                     QSize(801, 599), QSize(1281, 720), QSize(640, 481)}) {
                EXPECT_EQ(paint(form, size, false), paint(form, size, true))
                    << "label " << upper << " at " << g.left << "," << g.width << " on "
                    << size.width() << "x" << size.height();
            }
        }
    }
}

}  // namespace
}  // namespace quilo
