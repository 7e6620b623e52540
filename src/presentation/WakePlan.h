#pragma once
// When the playback clock must next tick. A tick can only change something
// when the heard position enters a new second (a cue may be due), when a
// scripted pause has run its length, or, while the panel is on screen, to
// refresh its boxes; between those the program sleeps instead of ticking a
// thousand times a second for nothing.

#include <algorithm>
#include <optional>

namespace quilo {

struct WakeInputs {
    bool clockEnabled = false;
    std::optional<double> secondsToNextCdSecond;  // while the CD plays
    std::optional<double> secondsToPauseEnd;      // while a scripted pause runs
    bool panelVisible = false;
    // The heard position is already in a second the last tick did not read
    // (it read just short of it): that second's cues are due now.
    bool secondUnread = false;
};

struct Wake {
    double seconds = 0;  // from now
    // A cue may land then: the caller should hit the moment itself, not the
    // nearest whole millisecond of a timer.
    bool exact = false;
};

// The panel's boxes need no more than ten refreshes a second.
inline constexpr double kPanelRefreshSeconds = 0.1;
// However quiet the show, a tick now and then costs nothing and guards
// against a change no source announced.
inline constexpr double kLongestSleepSeconds = 0.5;

// Nothing when the clock is off.
inline std::optional<Wake> nextWake(const WakeInputs& in) {
    if (!in.clockEnabled) return std::nullopt;
    if (in.secondUnread) return Wake{0, true};
    Wake wake{in.panelVisible ? kPanelRefreshSeconds : kLongestSleepSeconds, false};
    for (const auto& due : {in.secondsToNextCdSecond, in.secondsToPauseEnd}) {
        if (due && *due <= wake.seconds) wake = {std::max(0.0, *due), true};
    }
    return wake;
}

}  // namespace quilo
