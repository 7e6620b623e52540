#pragma once
// How late an author taps: against a click at the start of every second, a
// tap heard at a frame is late by the time since the nearest click (early
// when before it). The median lateness of a few taps is the offset the
// studio then takes off every tap.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "shared/AudioOutput.h"

namespace quilo {

inline int tapLatenessMs(std::int64_t heardFrame) {
    const auto intoSecond = static_cast<int>(heardFrame % kSampleRate * 1000 / kSampleRate);
    return intoSecond >= 500 ? intoSecond - 1000 : intoSecond;
}

// The median of the taps' lateness; none for fewer than `enough` taps.
inline std::optional<int> medianLatenessMs(std::vector<int> lateness, std::size_t enough) {
    if (lateness.size() < enough || lateness.empty()) return std::nullopt;
    std::sort(lateness.begin(), lateness.end());
    return lateness[lateness.size() / 2];
}

}  // namespace quilo
