#pragma once
// The streaming thread: pumps the CD control into its audio output a few dozen
// times a second, so the user-interface thread never waits for sound.

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

    // The position no longer waits for a pump, so the pump only has to keep
    // the output's 100 ms from running dry.
    static constexpr int kPumpMilliseconds = 25;

  private:
    CdControl& control_;
    QThread* thread_ = nullptr;
    QObject* pumpTimer_ = nullptr;
    // Set while a pump runs, so that a stop arriving meanwhile waits its turn.
    bool busy_ = false;
};

}  // namespace quilo
