#pragma once
// The CD control's button bar on the player panel: Prev, Next, Play, Pause,
// Back, Step, Stop, Record, Eject. Back, Step and Record have no use on an
// audio CD and stay disabled; the others follow the device's mode.

#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "cd/CdControl.h"

namespace quilo {

class ButtonBar : public QWidget {
    Q_OBJECT
  public:
    enum Button { Prev, Next, Play, Pause, Back, Step, Stop, Record, Eject, kButtonCount };

    explicit ButtonBar(QWidget* parent = nullptr);

    // What each enabled button does; set once by the composition root.
    void setAction(Button button, std::function<void()> action);
    // Enables the buttons the mode allows.
    void sync(CdMode mode);

    QToolButton* button(Button b) const { return buttons_[static_cast<std::size_t>(b)]; }

  private:
    std::array<QToolButton*, kButtonCount> buttons_{};
    std::array<std::function<void()>, kButtonCount> actions_{};
    std::optional<CdMode> shownMode_;
};

}  // namespace quilo
