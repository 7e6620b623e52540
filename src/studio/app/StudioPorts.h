#pragma once
// The studio's answers to what the core says outside itself: messages and
// warnings go to the window's status line (and the terminal), never to a box
// that would stop the timing; windows are the studio's own to arrange.

#include <QTime>
#include <functional>
#include <iostream>
#include <string>

#include "shared/MessageBox.h"
#include "shared/ProgramExit.h"
#include "shared/SecondsClock.h"
#include "shared/Warnings.h"
#include "shared/Windows.h"

namespace quilo {

class StatusPorts : public MessageBox, public Warnings, public Windows, public ProgramExit {
  public:
    std::function<void(const std::string&)> say;
    void show(const std::string& text) override { tell(text); }
    void warn(const std::string& text) override { tell(text); }
    void bringToFront(Window) override {}
    void quit() override {}

  private:
    void tell(const std::string& text) {
        std::cerr << "quilo-studio: " << text << "\n";
        if (say) say(text);
    }
};

class StudioSeconds : public SecondsClock {
  public:
    float secondsSinceMidnight() override {
        return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);
    }
};

}  // namespace quilo
