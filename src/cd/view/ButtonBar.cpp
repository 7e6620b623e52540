#include "cd/view/ButtonBar.h"

#include <QHBoxLayout>
#include <QStyle>

namespace quilo {
namespace {

struct ButtonLook {
    const char* text;
    const char* tip;
    QStyle::StandardPixmap icon;
};

constexpr ButtonLook kLooks[ButtonBar::kButtonCount] = {
    {"|◀◀", "Traccia precedente", QStyle::SP_MediaSkipBackward},
    {"▶▶|", "Traccia successiva", QStyle::SP_MediaSkipForward},
    {"▶", "Play", QStyle::SP_MediaPlay},
    {"❚❚", "Pausa", QStyle::SP_MediaPause},
    {"◀", "Indietro", QStyle::SP_MediaSeekBackward},
    {"▶|", "Avanti", QStyle::SP_MediaSeekForward},
    {"■", "Stop", QStyle::SP_MediaStop},
    {"●", "Registra", QStyle::SP_DialogNoButton},
    {"⏏", "Espelli", QStyle::SP_ArrowUp},
};

}  // namespace

ButtonBar::ButtonBar(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (int i = 0; i < kButtonCount; ++i) {
        auto* b = new QToolButton(this);
        b->setText(QString::fromUtf8(kLooks[i].text));
        b->setToolTip(QString::fromUtf8(kLooks[i].tip));
        b->setAccessibleName(QString::fromUtf8(kLooks[i].tip));
        b->setIcon(style()->standardIcon(kLooks[i].icon));
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(b, &QToolButton::clicked, this, [this, i] {
            if (actions_[static_cast<std::size_t>(i)]) actions_[static_cast<std::size_t>(i)]();
        });
        buttons_[static_cast<std::size_t>(i)] = b;
        layout->addWidget(b);
    }
    sync(CdMode::NotReady);
}

void ButtonBar::setAction(Button button, std::function<void()> action) {
    actions_[static_cast<std::size_t>(button)] = std::move(action);
}

void ButtonBar::sync(CdMode mode) {
    if (shownMode_ == mode) return;
    shownMode_ = mode;
    const bool ready = mode != CdMode::NotReady && mode != CdMode::Open;
    const bool playing = mode == CdMode::Playing;
    button(Prev)->setEnabled(ready);
    button(Next)->setEnabled(ready);
    button(Play)->setEnabled(ready && !playing);
    button(Pause)->setEnabled(playing);
    button(Stop)->setEnabled(playing || mode == CdMode::Paused);
    button(Back)->setEnabled(false);
    button(Step)->setEnabled(false);
    button(Record)->setEnabled(false);
    button(Eject)->setEnabled(true);
}

}  // namespace quilo
