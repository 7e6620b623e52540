#pragma once
// Shows the display model on screen while a procedure runs: a repaint at once
// paints the canvas before the procedure goes on; each transition step is
// painted as its own frame, paced to 30 frames a second, none skipped. The
// sound plays on its own thread meanwhile.

#include <QElapsedTimer>
#include <functional>

#include "shared/Presenter.h"

namespace quilo {

class DisplayView;

class DisplayPresenter : public Presenter {
  public:
    explicit DisplayPresenter(DisplayView& view) : view_(view) { clock_.start(); }

    void repaintNow(Repaint what) override;
    void showTransitionFrame() override;
    // Told after every repaint and transition frame, for a copy of the
    // display shown elsewhere (the remote's live page); a handler that then
    // waits (a message box) leaves that copy up to date too.
    void setMirror(std::function<void()> mirror) { mirror_ = std::move(mirror); }

    static constexpr qint64 kFrameNanoseconds = 1'000'000'000 / 30;

  private:
    DisplayView& view_;
    QElapsedTimer clock_;
    qint64 lastFrame_ = -kFrameNanoseconds;
    std::function<void()> mirror_;
};

}  // namespace quilo
