#include "display/view/DisplayView.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "display/CaptionPairs.h"
#include "display/DisplayForm.h"

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

const QFont& label1Font() {
    static const QFont font = designFont("MS Sans Serif", 13.8);
    return font;
}
const QFont& label2Font() {
    static const QFont font = designFont("Arial", 15.6);
    return font;
}
const QFont& textBoxFont() {
    static const QFont font = designFont("MS Sans Serif", 7.8);
    return font;
}

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

}  // namespace

void installFontSubstitutes() {
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

DisplayView::DisplayView(const DisplayForm& model, QWidget* parent)
    : QWidget(parent), model_(&model) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QStringLiteral("Marvane Tarvo 1.3"));
}

QRectF DisplayView::areaRect() const {
    const double s = std::min(width() / double(kDisplayWidth), height() / double(kDisplayHeight));
    const double w = kDisplayWidth * s;
    const double h = kDisplayHeight * s;
    return {(width() - w) / 2.0, (height() - h) / 2.0, w, h};
}

QRectF DisplayView::toPixels(const Geometry& g) const {
    return {origin_.x() + g.left * scale_, origin_.y() + g.top * scale_, g.width * scale_,
            g.height * scale_};
}

QFont DisplayView::scaledFont(const QFont& font) const {
    QFont scaled = font;
    scaled.setPixelSize(std::max(1, qRound(font.pointSizeF() * kTwipsPerPoint * scale_)));
    return scaled;
}

void DisplayView::paintNowIfChanged() {
    if (isVisible() && (!paintedOnce_ || !(painted_ == model()))) repaint();
}

void DisplayView::updateIfChanged() {
    if (!paintedOnce_ || !(painted_ == model())) update();
}

void DisplayView::showFilling(bool fullScreen) {
    const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (where) setGeometry(fullScreen ? where->geometry() : where->availableGeometry());
    if (fullScreen) {
        showFullScreen();
    } else {
        showMaximized();
    }
}

void DisplayView::preload(const QList<QPair<QString, QSizeF>>& pictures) {
    if (qEnvironmentVariableIsSet("QUILO_NO_LOOKAHEAD")) return;  // for measuring the decode
    // The size a picture will be painted at, worked out as the painting does.
    const double scale = areaRect().width() / kDisplayWidth;
    QList<PictureCache::Ahead> ahead;
    for (const auto& [file, twips] : pictures) {
        const QSize drawn = QSizeF(twips.width() * scale, twips.height() * scale).toSize();
        ahead.append({file, modest(drawn) ? drawn : QSize(), sourceSize(drawn)});
    }
    pictures_.preload(ahead);
}

// Whether a picture drawn at `drawn` pixels is drawn from a scaled copy;
// one far larger than the window is drawn from its source, the part on view.
bool DisplayView::modest(QSize drawn) const {
    return double(drawn.width()) * drawn.height() <= 4.0 * width() * height();
}

// What a picture's source is decoded to cover: the size it is drawn at, and
// at least the window, so a picture growing into view is decoded once.
QSize DisplayView::sourceSize(QSize drawn) const {
    return drawn.isEmpty() ? QSize() : drawn.expandedTo(size());
}

void DisplayView::paintEvent(QPaintEvent*) {
    painted_ = model();
    paintedOnce_ = true;
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(model().backColour));
    const QRectF area = areaRect();
    scale_ = area.width() / kDisplayWidth;
    origin_ = area.topLeft();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);

    paintPane(painter, model().ImgEdit[3]);
    paintPane(painter, model().ImgEdit[4]);
    const QFont big = scaledFont(label2Font());
    const PairText background = backgroundCaptionText(model());
    paintLabel(painter, model().Label2[0], big, false, background.first);
    paintLabel(painter, model().Label2[1], big, false, background.second);
    paintPane(painter, model().ImgEdit[1]);
    paintPane(painter, model().ImgEdit[2]);
    const QFont small = scaledFont(label1Font());
    const PairText picture = pictureCaptionText(model());
    paintLabel(painter, model().Label1[0], small, true, picture.first);
    paintLabel(painter, model().Label1[1], small, true, picture.second);
    paintTextBox(painter, model().Text1);
}

void DisplayView::paintPane(QPainter& painter, const ImagePane& pane) {
    if (!pane.visible || !pane.hasPicture()) return;
    const QRectF paneRect = toPixels(pane.geometry);
    const QRectF pictureRect =
        toPixels({pane.geometry.left, pane.geometry.top, pane.drawWidth, pane.drawHeight});
    const QRectF shown = paneRect.intersected(pictureRect).intersected(areaRect());
    if (shown.isEmpty()) return;
    const QString file = QString::fromStdString(pane.file);
    const QSize full = pictureRect.size().toSize();
    const QImage& image = pictures_.source(file, sourceSize(full));
    if (image.isNull()) return;
    if (image.size() == full || !modest(full)) {
        // Decoded at the size drawn, or far larger than the window: drawn
        // straight from the source, only the part on view.
        const double sx = image.width() / pictureRect.width();
        const double sy = image.height() / pictureRect.height();
        const QRectF from((shown.left() - pictureRect.left()) * sx,
                          (shown.top() - pictureRect.top()) * sy, shown.width() * sx,
                          shown.height() * sy);
        painter.drawImage(shown, image, from);
        return;
    }
    const QPixmap pixmap = pictures_.scaled(file, full);
    if (pixmap.isNull()) return;
    painter.drawPixmap(shown, pixmap, shown.translated(-pictureRect.topLeft()));
}

void DisplayView::paintLabel(QPainter& painter, const Label& label, const QFont& font,
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

void DisplayView::paintTextBox(QPainter& painter, const TextBox& box) {
    if (!box.visible) return;
    const QRectF r = toPixels(box.geometry);
    painter.fillRect(r, toQColor(box.back));
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    const double margin = std::max(1.0, 60 * scale_);
    painter.setFont(scaledFont(textBoxFont()));
    painter.setPen(Qt::black);
    painter.drawText(r.adjusted(margin, margin, -margin, -margin), kTextFlags,
                     displayText(box.text));
}

void DisplayView::keyPressEvent(QKeyEvent* event) {
    if (onKey_ && !event->isAutoRepeat() && onKey_(event->key())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DisplayView::closeEvent(QCloseEvent* event) {
    if (!onClose_) return;
    event->ignore();
    onClose_();
}

void DisplayView::mousePressEvent(QMouseEvent* event) {
    if (!onPress_) return;
    switch (event->button()) {
        case Qt::LeftButton:
            onPress_(1);
            break;
        case Qt::RightButton:
            onPress_(2);
            break;
        case Qt::MiddleButton:
            onPress_(4);
            break;
        default:
            break;
    }
}

}  // namespace quilo
