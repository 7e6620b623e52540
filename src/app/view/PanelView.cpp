#include "app/view/PanelView.h"

#include <QShortcut>

#include <QCloseEvent>
#include <QKeyEvent>

namespace quilo {
namespace {

constexpr int kPanelWidth = 6060;
constexpr int kPanelHeight = 1860;
constexpr int kStatusHeight = 570;  // two lines: a reason is rarely shorter

QLineEdit* makeBox(QWidget* parent, QRect where, QColor back, QColor fore = Qt::black) {
    auto* box = new QLineEdit(parent);
    box->setGeometry(where);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, back);
    palette.setColor(QPalette::Text, fore);
    box->setPalette(palette);
    box->setFrame(true);
    return box;
}

QLabel* makeLabel(QWidget* parent, const char* text, QRect where) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setGeometry(where);
    return label;
}

void setIfChanged(QLineEdit* box, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (box->text() != value) box->setText(value);
}

}  // namespace

PanelView::PanelView(QWidget* parent) : QWidget(parent) {
    auto* join = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(join, &QShortcut::activated, this, [this] {
        if (onJoin) onJoin();
    });
    setWindowTitle(QStringLiteral("Marvane - Quilo 1.0 "));
    setFixedSize(px(kPanelWidth), px(kPanelHeight));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(palette);
    setAutoFillBackground(true);

    const QColor green(192, 255, 192);
    frame_ = new QGroupBox(QStringLiteral("Cd"), this);
    frame_->setGeometry(twipRect(120, 840, 5895, 735));
    quit_ = new QPushButton(QStringLiteral("Quit"), frame_);
    quit_->setGeometry(twipRect(120, 240, 615, 375));
    text7_ = makeBox(frame_, twipRect(4680, 240, 1095, 285), green, QColor(0, 0, 255));
    text1_ = makeBox(frame_, twipRect(1680, 240, 375, 285), green);
    text2_ = makeBox(frame_, twipRect(3000, 240, 375, 285), green);
    text3_ = makeBox(frame_, twipRect(3360, 240, 375, 285), green);
    text4_ = makeBox(frame_, twipRect(3720, 240, 375, 285), QColor(192, 192, 192));
    makeLabel(frame_, "Cd", twipRect(4320, 240, 375, 255));
    makeLabel(frame_, "Traccia", twipRect(840, 240, 735, 255));
    makeLabel(frame_, "Tempo", twipRect(2280, 240, 615, 255));
    allegato_ = new QPushButton(QStringLiteral("Allegato"), this);
    allegato_->setGeometry(twipRect(4200, 480, 1815, 375));
    text6_ = makeBox(this, twipRect(120, 480, 3975, 285), green);
    text5_ = makeBox(this, twipRect(1920, 1680, 735, 285), Qt::white);
    text5_->setText(QStringLiteral("Text5"));
    text8_ = makeBox(this, twipRect(480, 1920, 375, 285), Qt::white);
    progress_ = new QProgressBar(this);
    progress_->setGeometry(twipRect(0, 1605, 6060, 255));
    progress_->setRange(0, 60);
    progress_->setTextVisible(false);
    status_ = makeLabel(this, "", twipRect(120, kPanelHeight + 30, 5820, 510));
    status_->setWordWrap(true);
    status_->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold"));
    status_->hide();
    bar_ = new ButtonBar(this);
    bar_->setGeometry(twipRect(120, 120, 5895, 330));

    connect(quit_, &QPushButton::clicked, this, [this] {
        if (onQuit) onQuit();
    });
    connect(allegato_, &QPushButton::clicked, this, [this] {
        if (onAllegato) onAllegato();
    });
    connect(text6_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (onText6Edited) onText6Edited(text.toStdString());
    });
}

QLineEdit* PanelView::box(int number) const {
    switch (number) {
        case 1:
            return text1_;
        case 2:
            return text2_;
        case 3:
            return text3_;
        case 4:
            return text4_;
        case 5:
            return text5_;
        case 6:
            return text6_;
        case 7:
            return text7_;
        case 8:
            return text8_;
        default:
            return nullptr;
    }
}

void PanelView::sync(const PanelModel& model) {
    // Runs on every clock tick: compare with what is shown before touching widgets.
    if (shown_ && *shown_ == model) return;
    shown_ = model;
    setIfChanged(text1_, model.Text1);
    setIfChanged(text2_, model.Text2);
    setIfChanged(text3_, model.Text3);
    setIfChanged(text4_, model.Text4);
    setIfChanged(text6_, model.Text6);
    setIfChanged(text7_, model.Text7);
    setIfChanged(text8_, model.Text8);
    const int value = std::clamp(static_cast<int>(model.progress), 0, 60);
    if (progress_->value() != value) progress_->setValue(value);
    if (status_->text().toStdString() != model.status) {
        status_->setText(QString::fromStdString(model.status));
        status_->setToolTip(status_->text());
        status_->setVisible(!model.status.empty());
        setFixedSize(px(kPanelWidth),
                     px(kPanelHeight + (model.status.empty() ? 0 : kStatusHeight)));
    }
    if (isEnabled() != model.enabled) setEnabled(model.enabled);
    if (isVisible() != model.visible) setVisible(model.visible);
}

void PanelView::keyPressEvent(QKeyEvent* event) {
    if (onKey && !event->isAutoRepeat() && onKey(event->key())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PanelView::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onClose) onClose();
}

}  // namespace quilo
