#include "studio/view/TapOffsetDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace quilo {

TapOffsetDialog::TapOffsetDialog(int offsetMs, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Ritardo dei tocchi"));
    // While calibrating the dialog itself takes Space, never a button.
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    auto* explain = new QLabel(
        QStringLiteral("Chi tocca T a tempo di musica lo fa di solito un poco dopo. Questi "
                       "millisecondi sono tolti da ogni tocco. «Calibra» fa sentire un clic al "
                       "secondo: premere la barra spaziatrice a ogni clic, otto volte."),
        this);
    explain->setWordWrap(true);
    layout->addWidget(explain);
    auto* form = new QFormLayout;
    offset_ = new QSpinBox(this);
    offset_->setAccessibleName(QStringLiteral("Ritardo in millisecondi"));
    offset_->setRange(-500, 500);
    offset_->setSuffix(QStringLiteral(" ms"));
    offset_->setValue(offsetMs);
    form->addRow(QStringLiteral("Ritardo"), offset_);
    layout->addLayout(form);
    message_ = new QLabel(this);
    message_->setAccessibleName(QStringLiteral("Calibrazione"));
    message_->setWordWrap(true);
    layout->addWidget(message_);
    auto* buttons = new QDialogButtonBox(this);
    auto* calibrate = buttons->addButton(QStringLiteral("Calibra"), QDialogButtonBox::ActionRole);
    calibrate->setAutoDefault(false);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(calibrate, &QPushButton::clicked, this, [this] {
        calibrating_ = !calibrating_;
        if (onCalibrate) onCalibrate(calibrating_);
        setFocus();
    });
}

void TapOffsetDialog::say(const QString& text) {
    message_->setText(text);
}

void TapOffsetDialog::offer(int offsetMs) {
    offset_->setValue(offsetMs);
    calibrating_ = false;
    if (onCalibrate) onCalibrate(false);
}

void TapOffsetDialog::keyPressEvent(QKeyEvent* event) {
    if (calibrating_ && event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        if (onTap) onTap();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TapOffsetDialog::done(int result) {
    if (calibrating_ && onCalibrate) onCalibrate(false);
    calibrating_ = false;
    QDialog::done(result);
}

}  // namespace quilo
