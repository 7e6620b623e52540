#include "display/view/DisplayPresenter.h"

#include <QThread>

#include "display/view/DisplayView.h"

namespace quilo {

void DisplayPresenter::repaintNow(Repaint) {
    view_.paintNowIfChanged();
    if (mirror_) mirror_();
}

void DisplayPresenter::showTransitionFrame() {
    // Frame starts lie at least a frame's time apart; a late frame starts a new
    // rhythm rather than bunching the next ones up to catch up.
    const qint64 due = lastFrame_ + kFrameNanoseconds;
    const qint64 now = clock_.nsecsElapsed();
    if (now < due) QThread::usleep(static_cast<unsigned long>((due - now) / 1000));
    lastFrame_ = std::max(due, now);
    if (view_.isVisible()) view_.repaint();
    if (mirror_) mirror_();
}

}  // namespace quilo
