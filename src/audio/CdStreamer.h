#pragma once
// The streaming thread: pumps the CD control into its audio output every few
// milliseconds, so the user-interface thread never waits for sound.

#include <QThread>

namespace quilo {

class CdControl;

class CdStreamer {
  public:
    explicit CdStreamer(CdControl& control) : control_(control) {}
    ~CdStreamer() { stop(); }
    CdStreamer(const CdStreamer&) = delete;
    CdStreamer& operator=(const CdStreamer&) = delete;

    void start();
    void stop();

    static constexpr int kPumpMilliseconds = 10;

  private:
    CdControl& control_;
    QThread* thread_ = nullptr;
    QObject* pumpTimer_ = nullptr;
    // The audio device may run a nested event loop (a sink drains before it
    // goes away), where the pump timer would fire again: such a tick is skipped.
    bool busy_ = false;
};

}  // namespace quilo
