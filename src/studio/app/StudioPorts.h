#pragma once
// The studio's answers to what the core says outside itself: never a box that
// would stop the timing. What the player would show in a box (a refused
// script) goes to the window's banner, warnings to its status line, both to
// the terminal too; windows are the studio's own to arrange.

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
    std::function<void(const std::string&)> say;    // the status line
    std::function<void(const std::string&)> alert;  // the banner
    void show(const std::string& text) override { tell(text, alert); }
    void warn(const std::string& text) override { tell(text, say); }
    void bringToFront(Window) override {}
    void quit() override {}

  private:
    static void tell(const std::string& text, const std::function<void(const std::string&)>& to) {
        std::cerr << "quilo-studio: " << text << "\n";
        if (to) to(text);
    }
};

class StudioSeconds : public SecondsClock {
  public:
    float secondsSinceMidnight() override {
        return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);
    }
};

}  // namespace quilo
