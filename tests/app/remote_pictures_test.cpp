// The remote's pictures, painted off the show's thread: a live frame of the
// display as the audience sees it (nothing while its window is hidden), and thumbnails of the
// script's cues as the storyboard paints them, kept once painted and forgotten with their script.
#include "app/RemotePictures.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <array>
#include <filesystem>
#include <future>

#include "display/view/DisplayPainter.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using testing::TempDir;

QImage await(std::future<QByteArray>& jpeg) {
    if (jpeg.wait_for(std::chrono::seconds(10)) != std::future_status::ready) return {};
    return QImage::fromData(jpeg.get(), "JPEG");
}

std::future<QByteArray> thumbnailOf(RemotePictures& pictures, int line) {
    auto promise = std::make_shared<std::promise<QByteArray>>();
    pictures.thumbnail(line, [promise](QByteArray jpeg) { promise->set_value(jpeg); });
    return promise->get_future();
}

TEST(RemotePictures, PaintsTheLiveDisplayAndEachCuesThumbnail) {
    std::array<std::promise<QByteArray>, 2> frames;
    std::array<std::future<QByteArray>, 2> framed{frames[0].get_future(), frames[1].get_future()};
    RemotePictures pictures([&frames, sent = 0](QByteArray jpeg) mutable {
        if (sent < 2) frames[sent++].set_value(jpeg);
    });
    DisplayForm form;
    form.backColour = {200, 30, 40};
    pictures.show(form);  // the display's window is hidden: the audience sees nothing
    EXPECT_EQ(await(framed[0]).pixelColor(512, 384), QColor(Qt::black));
    form.visible = true;
    pictures.show(form);
    const QImage live = await(framed[1]);
    ASSERT_EQ(live.size(), QSize(RemotePictures::kLiveWidth, RemotePictures::kLiveHeight));
    // As the display's painter paints it, but for the JPEG's rounding.
    DisplayPainter painter;
    QImage expected(live.size(), QImage::Format_RGB32);
    {
        QPainter on(&expected);
        painter.paint(on, expected.size(), form);
    }
    for (const QPoint at : {QPoint(4, 4), QPoint(512, 700), QPoint(1000, 380)}) {
        EXPECT_NEAR(live.pixelColor(at).red(), expected.pixelColor(at).red(), 12);
        EXPECT_NEAR(live.pixelColor(at).blue(), expected.pixelColor(at).blue(), 12);
    }

    TempDir root;
    std::filesystem::copy(std::filesystem::path(QUILO_SOURCE_DIR) / "demo", root.path(),
                          std::filesystem::copy_options::recursive);
    const auto script = root.write(
        "Allegato/rosso.txt",
        "01:00:01Primo12C\r\n99 a 255\r\n99 b   0\r\n99 c   0\r\n99 d 255\r\n99 e 255\r\n"
        "99 f 255\r\n99:00:00V\r\n01:00:03Secondo04B\r\n**\r\n");
    pictures.setScript(script.string(), root.path().string());
    auto first = thumbnailOf(pictures, 1);
    auto second = thumbnailOf(pictures, 9);
    auto header = thumbnailOf(pictures, 2);
    const QImage one = await(first);
    ASSERT_EQ(one.size(), QSize(RemotePictures::kThumbWidth, RemotePictures::kThumbHeight));
    EXPECT_GT(one.pixelColor(120, 170).red(), 200);  // the header's red background
    EXPECT_NE(await(second).pixelColor(120, 170), one.pixelColor(120, 170));
    EXPECT_TRUE(header.get().isEmpty()) << "a header line shows nothing of its own";

    // Another script: the old one's thumbnails are not given for it.
    const auto other = root.write("Allegato/vuoto.txt", "01:00:01Solo12C\r\n**\r\n");
    pictures.setScript(other.string(), root.path().string());
    auto gone = thumbnailOf(pictures, 9);
    EXPECT_TRUE(gone.get().isEmpty());
}

}  // namespace
}  // namespace quilo
