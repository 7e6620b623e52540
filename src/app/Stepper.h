#pragma once
// Drives the whole program in virtual time, with no sound card and no wall
// clock: the program gets a manual audio output and a virtual seconds counter,
// and each step lets the CD be heard for a millisecond, then runs one tick of
// the playback clock (when it is enabled) and mirrors the models into the views.
// Used by the end-to-end tests and the screenshot tool.

#include <QCoreApplication>
#include <memory>

#include "app/QuiloApp.h"
#include "presentation/VirtualTime.h"

namespace quilo {

class Stepper {
  public:
    Stepper(const AppOptions& options, MessageBox& messages, ProgramExit& exit, SoundPlayer& sound,
            Warnings* warnings = nullptr)
        : app_(options, {&output_, &seconds_, &messages, &exit, &sound, warnings}) {}

    QuiloApp& app() { return app_; }

    void step() {
        time_.stepMillisecond();
        QCoreApplication::processEvents();  // queued CD events
        if (app_.clock().enabled) app_.clock().Timer1_Timer();
        app_.syncViews();
    }
    void stepFor(int milliseconds) {
        for (int i = 0; i < milliseconds; ++i) step();
    }
    // Steps until the panel's position boxes read this track, minutes and seconds.
    bool stepUntil(int track, int minutes, int seconds, int limitMs = 300000) {
        for (int i = 0; i < limitMs; ++i) {
            const CdPosition p = CdPosition::unpack(app_.cd().position());
            if (p.track == track && p.minutes == minutes && p.seconds == seconds) return true;
            step();
        }
        return false;
    }

  private:
    ManualAudioOutput output_{kVirtualBufferFrames, false};
    VirtualSeconds seconds_;
    QuiloApp app_;
    VirtualTime time_{app_.cd(), output_, seconds_};
};

}  // namespace quilo
