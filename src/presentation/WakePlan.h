#pragma once
// When the playback clock must next tick. A tick can only change something
// when the heard position enters a new second (a cue may be due), when a
// scripted pause has run its length, or, while the panel is on screen, to
// refresh its boxes; between those the program sleeps instead of ticking a
// thousand times a second for nothing.

#include <algorithm>
#include <cmath>
#include <optional>

namespace quilo {

struct WakeInputs {
    bool clockEnabled = false;
    std::optional<double> secondsToNextCdSecond;  // while the CD plays
    std::optional<double> secondsToPauseEnd;      // while a scripted pause runs
    bool panelVisible = false;
};

// The panel's boxes need no more than ten refreshes a second.
inline constexpr double kPanelRefreshSeconds = 0.1;
// However quiet the show, a tick now and then costs nothing and guards
// against a change no source announced.
inline constexpr double kLongestSleepSeconds = 0.5;
// Timers fire on whole milliseconds: aim just past the moment, never before it.
inline constexpr double kWakeMarginSeconds = 0.0005;

// Milliseconds to sleep before the next tick; nothing when the clock is off.
inline std::optional<int> millisecondsUntilWake(const WakeInputs& in) {
    if (!in.clockEnabled) return std::nullopt;
    double sleep = in.panelVisible ? kPanelRefreshSeconds : kLongestSleepSeconds;
    if (in.secondsToNextCdSecond) sleep = std::min(sleep, *in.secondsToNextCdSecond);
    if (in.secondsToPauseEnd) sleep = std::min(sleep, *in.secondsToPauseEnd);
    return static_cast<int>(std::ceil((std::max(0.0, sleep) + kWakeMarginSeconds) * 1000.0));
}

}  // namespace quilo
