#include "audio/CdStreamer.h"

#include <QTimer>

#include "cd/CdControl.h"

namespace quilo {

void CdStreamer::start() {
    if (thread_) return;
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("quilo-cd"));
    auto* timer = new QTimer;
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(kPumpMilliseconds);
    timer->moveToThread(thread_);
    QObject::connect(timer, &QTimer::timeout, timer, [this] {
        if (busy_) return;
        busy_ = true;
        control_.pump();
        busy_ = false;
    });
    QObject::connect(thread_, &QThread::started, timer, qOverload<>(&QTimer::start));
    QObject::connect(thread_, &QThread::finished, timer, &QObject::deleteLater);
    pumpTimer_ = timer;
    thread_->start(QThread::TimeCriticalPriority);
}

void CdStreamer::stop() {
    if (!thread_) return;
    // The output's device belongs to the streaming thread: release it there.
    QMetaObject::invokeMethod(
        pumpTimer_,
        [this] {
            static_cast<QTimer*>(pumpTimer_)->stop();
            busy_ = true;
            control_.closeOutput();
            busy_ = false;
        },
        Qt::BlockingQueuedConnection);
    thread_->quit();
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}

}  // namespace quilo
