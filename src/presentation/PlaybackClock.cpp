#include "presentation/PlaybackClock.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quilo {

void PlaybackClock::Timer1_Timer() {
    if (inTick_) return;
    if (state_.scriptPath == kBlank || state_.scriptPath.empty()) return;
    inTick_ = true;
    tarvo1_.progress = std::strtof(tarvo1_.Text3.c_str(), nullptr);
    const float now = seconds_.secondsSinceMidnight();
    state_.elapsedSeconds = static_cast<std::int32_t>(std::fabs(state_.clockStart - now));
    tarvo1_.Text8 = std::to_string(state_.elapsedSeconds);
    if (state_.elapsedSeconds >= state_.pauseSeconds && state_.pauseActive == 1) {
        cd_.command(CdCommand::Play);
        state_.elapsedSeconds = 0;
        state_.pauseSeconds = 0;
        state_.pauseActive = 0;
    }
    reader_.LeggiRiga();
    inTick_ = false;
}

std::optional<double> PlaybackClock::secondsUntilPauseEnds() {
    if (state_.pauseActive != 1) return std::nullopt;
    const double left =
        double(state_.clockStart) + state_.pauseSeconds - double(seconds_.secondsSinceMidnight());
    return std::max(0.0, left);
}

}  // namespace quilo
