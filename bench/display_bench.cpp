// Painting one 1920 x 1080 frame of the display: a background picture under
// transparent captions, a picture pane, picture captions and the text box.
// Run with an argument to also save the frame as a PNG to look at.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include "display/view/DisplayView.h"
#include "shared/Modulo1.h"

namespace quilo {
namespace {

QString makePicture(const QString& name, QSize size, QColor from, QColor to) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.fillRect(image.rect(), gradient);
    painter.end();
    const QString path = QDir::temp().filePath(name);
    image.save(path);
    return path;
}

void place(ImagePane& pane, const QString& file, QSize pixels, Geometry g) {
    pane.file = file.toStdString();
    pane.source = pane.file;
    pane.pixelWidth = pixels.width();
    pane.pixelHeight = pixels.height();
    pane.geometry = g;
    pane.drawWidth = g.width;
    pane.drawHeight = g.height;
    pane.visible = true;
}

DisplayForm sampleScene() {
    DisplayForm m;
    const QString sea =
        makePicture("quilo-bench-sea.png", {1024, 768}, QColor(10, 60, 120), QColor(120, 200, 230));
    const QString photo = makePicture("quilo-bench-photo.png", {800, 600}, QColor(200, 120, 40),
                                      QColor(250, 230, 120));
    place(m.ImgEdit[3], sea, {1024, 768}, {0, 0, 11264, 8448});
    place(m.ImgEdit[4], sea, {1024, 768}, {0, 0, 11264, 8448});
    place(m.ImgEdit[1], photo, {800, 600}, {0, 0, 8000, 6000});
    m.ImgEdit[2].visible = false;
    for (Label& caption : m.Label2) {
        caption.caption = "Benvenuti al museo\r\nUna storia in musica";
        caption.fore = Rgb{255, 255, 0};
        caption.backStyle = kTransparent;
        caption.geometry = {0, 0, 11264, 8448};
    }
    for (Label& caption : m.Label1) {
        caption.caption = " \r\nLa prima sala\r\nOpere del Novecento";
        caption.fore = Rgb{255, 255, 255};
        caption.geometry.width = 8000;
    }
    m.Text1.text = "Una didascalia lunga che accompagna l'immagine e va a capo da sola.";
    m.Text1.geometry = {8900, 7800, 3000, 1100};
    m.Text1.visible = true;
    return m;
}

void BM_PaintFrame1920x1080(benchmark::State& state) {
    const DisplayForm model = sampleScene();
    DisplayView view(model);
    view.resize(1920, 1080);
    QImage frame(1920, 1080, QImage::Format_RGB32);
    view.render(&frame);  // the first paint decodes and scales the pictures
    for (auto _ : state) {
        view.render(&frame);
        benchmark::DoNotOptimize(frame.bits());
    }
}
BENCHMARK(BM_PaintFrame1920x1080)->Unit(benchmark::kMillisecond);

// A colour cue with no background picture: both background captions opaque
// over the whole area. With the argument 1 everything is painted, hidden or not.
void BM_PaintColourCue1920x1080(benchmark::State& state) {
    DisplayForm model;
    for (Label& caption : model.Label2) {
        caption.caption = " .";
        caption.back = Rgb{0, 90, 0};
        caption.backStyle = kOpaque;
        caption.geometry = {0, 0, kDisplayWidth, kDisplayHeight};
    }
    DisplayPainter painter;
    painter.setPaintsHidden(state.range(0) == 1);
    QImage frame(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter on(&frame);
        painter.paint(on, frame.size(), model);
        benchmark::DoNotOptimize(frame.bits());
    }
}
BENCHMARK(BM_PaintColourCue1920x1080)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quilo

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    quilo::installFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    if (argc > 1) {
        const quilo::DisplayForm model = quilo::sampleScene();
        quilo::DisplayView view(model);
        view.resize(1920, 1080);
        view.grab().save(QString::fromLocal8Bit(argv[1]));
        return 0;
    }
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
