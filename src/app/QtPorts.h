#pragma once
// The program's small Qt adapters: window raising, the modal message box,
// quitting, warnings on standard error and the wall clock's seconds since
// midnight.

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QWidget>
#include <chrono>
#include <cmath>
#include <iostream>

#include "shared/MessageBox.h"
#include "shared/ProgramExit.h"
#include "shared/SecondsClock.h"
#include "shared/Warnings.h"
#include "shared/Windows.h"

namespace quilo {

class QtWindows : public Windows {
  public:
    QtWindows(QWidget& panel, QWidget& display, QWidget& chooser)
        : panel_(panel), display_(display), chooser_(chooser) {}
    void bringToFront(Window window) override {
        QWidget& w = window == Window::Tarvo1   ? panel_
                     : window == Window::testo1 ? display_
                                                : chooser_;
        w.raise();
        w.activateWindow();
    }

  private:
    QWidget& panel_;
    QWidget& display_;
    QWidget& chooser_;
};

class QtMessageBox : public MessageBox {
  public:
    void show(const std::string& text) override {
        QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Quilo"),
                             QString::fromStdString(text), QMessageBox::Ok);
    }
};

class QtProgramExit : public ProgramExit {
  public:
    void quit() override { QApplication::exit(0); }
};

class StderrWarnings : public Warnings {
  public:
    void warn(const std::string& message) override { std::cerr << "quilo: " << message << "\n"; }
};

// Local time read through the time zone costs a look at the zone file on every
// call, and the clock asks a thousand times a second: the offset from UTC is
// taken once, at start-up.
class WallSeconds : public SecondsClock {
  public:
    WallSeconds() : offsetSeconds_(QDateTime::currentDateTime().offsetFromUtc()) {}
    float secondsSinceMidnight() override {
        const double now =
            std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
                .count() +
            offsetSeconds_;
        return static_cast<float>(std::fmod(now, 86400.0));
    }

  private:
    int offsetSeconds_;
};

}  // namespace quilo
