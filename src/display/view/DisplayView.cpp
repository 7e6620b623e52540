#include "display/view/DisplayView.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "display/DisplayForm.h"

namespace quilo {

DisplayView::DisplayView(const DisplayForm& model, QWidget* parent)
    : QWidget(parent), model_(&model) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QStringLiteral("Marvane Tarvo 1.3"));
}

QRectF DisplayView::areaRect() const {
    return DisplayPainter::areaRect(size());
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
        ahead.append(DisplayPainter::ahead(file, drawn, size()));
    }
    painter_.pictures().preload(ahead);
}

void DisplayView::paintEvent(QPaintEvent*) {
    painted_ = model();
    paintedOnce_ = true;
    QPainter painter(this);
    if (black_) return painter.fillRect(rect(), Qt::black);
    painter_.paint(painter, size(), model());
}

void DisplayView::setBlackedOut(bool black) {
    if (black == black_) return;
    black_ = black;
    paintedOnce_ = false;
    update();
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
