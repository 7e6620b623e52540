#include "display/view/DisplayPainter.h"

#include <QFontMetricsF>
#include <QRegion>
#include <cmath>

#include "display/CaptionPairs.h"

namespace quilo {
namespace {

constexpr double kTwipsPerPoint = 20.0;

QColor toQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// Captions break lines with CR LF; a lone CR or LF breaks too.
QString displayText(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QFont designFont(const char* family, double points) {
    QFont font(QString::fromLatin1(family));
    font.setBold(true);
    font.setPointSizeF(points);
    return font;
}

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

// Whether a picture drawn at `drawn` pixels is drawn from a scaled copy;
// one far larger than the canvas is drawn from its source, the part on view.
bool modest(QSize drawn, QSize canvas) {
    return double(drawn.width()) * drawn.height() <= 4.0 * canvas.width() * canvas.height();
}

// What a picture's source is decoded to cover: the size it is drawn at, and
// at least the canvas, so a picture growing into view is decoded once.
QSize sourceSize(QSize drawn, QSize canvas) {
    return drawn.isEmpty() ? QSize() : drawn.expandedTo(canvas);
}

}  // namespace

void installFontSubstitutes() {
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

DisplayPainter::DisplayPainter()
    : label1Font_(designFont("MS Sans Serif", 13.8)),
      label2Font_(designFont("Arial", 15.6)),
      textBoxFont_(designFont("MS Sans Serif", 7.8)) {}

QRectF DisplayPainter::areaRect(QSize canvas) {
    const double s =
        std::min(canvas.width() / double(kDisplayWidth), canvas.height() / double(kDisplayHeight));
    const double w = kDisplayWidth * s;
    const double h = kDisplayHeight * s;
    return {(canvas.width() - w) / 2.0, (canvas.height() - h) / 2.0, w, h};
}

PictureCache::Ahead DisplayPainter::ahead(const QString& file, QSize drawn, QSize canvas) {
    return {file, modest(drawn, canvas) ? drawn : QSize(), sourceSize(drawn, canvas)};
}

QRectF DisplayPainter::toPixels(const Geometry& g) const {
    return {area_.left() + g.left * scale_, area_.top() + g.top * scale_, g.width * scale_,
            g.height * scale_};
}

QFont DisplayPainter::scaledFont(const QFont& font) const {
    QFont scaled = font;
    scaled.setPixelSize(std::max(1, qRound(font.pointSizeF() * kTwipsPerPoint * scale_)));
    return scaled;
}

// The later of the two background captions whose opaque back covers the
// whole area (-1 for none): everything painted before it is hidden.
int DisplayPainter::coveringCaption(const DisplayForm& form) const {
    if (paintsHidden_) return -1;
    for (int i = 1; i >= 0; --i) {
        const Label& label = form.Label2[i];
        if (label.visible && label.backStyle == kOpaque && toPixels(label.geometry).contains(area_))
            return i;
    }
    return -1;
}

// The form's back colour under everything, or only around the area when a
// caption covers the area. The pixels a fill of `area_` covers are those
// whose edges round to it, as the raster engine rounds a rectangle.
void DisplayPainter::fillBack(QPainter& painter, const QColor& back, bool areaCovered) {
    const QRect canvas(QPoint(), canvas_);
    if (!areaCovered) {
        painter.fillRect(canvas, back);
        return;
    }
    const auto edge = [](double v) { return int(std::floor(v + 0.5)); };
    const QRect area(QPoint(edge(area_.left()), edge(area_.top())),
                     QPoint(edge(area_.right()) - 1, edge(area_.bottom()) - 1));
    for (const QRect& margin : QRegion(canvas).subtracted(QRegion(area)))
        painter.fillRect(margin, back);
}

void DisplayPainter::paint(QPainter& painter, QSize canvas, const DisplayForm& form) {
    canvas_ = canvas;
    area_ = areaRect(canvas);
    scale_ = area_.width() / kDisplayWidth;
    const int cover = coveringCaption(form);
    fillBack(painter, toQColor(form.backColour), cover >= 0);
    painter.setClipRect(area_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);

    if (cover < 0) {
        paintPane(painter, form.ImgEdit[3]);
        paintPane(painter, form.ImgEdit[4]);
    }
    const QFont big = scaledFont(label2Font_);
    const PairText background = backgroundCaptionText(form);
    if (cover != 1) paintLabel(painter, form.Label2[0], big, false, background.first);
    paintLabel(painter, form.Label2[1], big, false, background.second);
    paintPane(painter, form.ImgEdit[1]);
    paintPane(painter, form.ImgEdit[2]);
    const QFont small = scaledFont(label1Font_);
    const PairText picture = pictureCaptionText(form);
    paintLabel(painter, form.Label1[0], small, true, picture.first);
    paintLabel(painter, form.Label1[1], small, true, picture.second);
    paintTextBox(painter, form.Text1);
}

void DisplayPainter::paintPane(QPainter& painter, const ImagePane& pane) {
    if (!pane.visible || !pane.hasPicture()) return;
    const QRectF paneRect = toPixels(pane.geometry);
    const QRectF pictureRect =
        toPixels({pane.geometry.left, pane.geometry.top, pane.drawWidth, pane.drawHeight});
    const QRectF shown = paneRect.intersected(pictureRect).intersected(area_);
    if (shown.isEmpty()) return;
    const QString file = QString::fromStdString(pane.file);
    const QSize full = pictureRect.size().toSize();
    const QImage& image = pictures_.source(file, sourceSize(full, canvas_));
    if (image.isNull()) return;
    if (image.size() == full || !modest(full, canvas_)) {
        // Decoded at the size drawn, or far larger than the canvas: drawn
        // straight from the source, only the part on view.
        const double sx = image.width() / pictureRect.width();
        const double sy = image.height() / pictureRect.height();
        const QRectF from((shown.left() - pictureRect.left()) * sx,
                          (shown.top() - pictureRect.top()) * sy, shown.width() * sx,
                          shown.height() * sy);
        painter.drawImage(shown, image, from);
        return;
    }
    const QImage scaled = pictures_.scaled(file, full);
    if (scaled.isNull()) return;
    painter.drawImage(shown, scaled, shown.translated(-pictureRect.topLeft()));
}

void DisplayPainter::paintLabel(QPainter& painter, const Label& label, const QFont& font,
                                bool growsWithText, bool withText) {
    if (!label.visible) return;
    QRectF box = toPixels(label.geometry);
    const QString text = displayText(label.caption);
    painter.setFont(font);
    if (growsWithText) {
        // The width stays; the height follows the wrapped text.
        const QRectF needed = QFontMetricsF(font).boundingRect(
            QRectF(0, 0, std::max(1.0, box.width()), 1e6), kTextFlags, text);
        box.setHeight(needed.height());
    }
    if (label.backStyle == kOpaque) painter.fillRect(box, toQColor(label.back));
    if (!withText) return;
    painter.setPen(toQColor(label.fore));
    painter.drawText(box, kTextFlags, text);
}

void DisplayPainter::paintTextBox(QPainter& painter, const TextBox& box) {
    if (!box.visible) return;
    const QRectF r = toPixels(box.geometry);
    painter.fillRect(r, toQColor(box.back));
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    const double margin = std::max(1.0, 60 * scale_);
    painter.setFont(scaledFont(textBoxFont_));
    painter.setPen(Qt::black);
    painter.drawText(r.adjusted(margin, margin, -margin, -margin), kTextFlags,
                     displayText(box.text));
}

}  // namespace quilo
