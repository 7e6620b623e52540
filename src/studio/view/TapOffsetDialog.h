#pragma once
// The tap offset: milliseconds taken off every tap, since people tap a little
// after what they hear. "Calibra" plays clicks; the author taps Space along
// with them and the median lateness is offered. The dialog only shows and
// forwards: the clicks and the arithmetic are elsewhere.

#include <QDialog>
#include <QLabel>
#include <QSpinBox>
#include <functional>

namespace quilo {

class TapOffsetDialog : public QDialog {
    Q_OBJECT
  public:
    TapOffsetDialog(int offsetMs, QWidget* parent);
    int offsetMs() const { return offset_->value(); }

    // The calibration's clicks started or stopped, a tap heard.
    std::function<void(bool on)> onCalibrate;
    std::function<void()> onTap;
    // What the calibration says, and the offset it offers.
    void say(const QString& text);
    void offer(int offsetMs);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

  private:
    QSpinBox* offset_ = nullptr;
    QLabel* message_ = nullptr;
    bool calibrating_ = false;
};

}  // namespace quilo
