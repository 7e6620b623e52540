#pragma once
// Where the operator's keys move a running show: to the next cue's second, to
// the previous one, or back to the first. Cues are the seconds the script's
// lines name, in disc order (Presentation::cueSeconds).

#include <cstdint>
#include <optional>
#include <vector>

#include "shared/CdPosition.h"

namespace quilo {

// A place on the disc as one number, for ordering: tracks apart, sectors within.
inline std::int64_t discOrder(const CdPosition& p) {
    return std::int64_t{p.track} * 1'000'000 + p.sectorsIntoTrack();
}

// The first cue after the second the show is in.
inline std::optional<CdPosition> nextCue(const std::vector<CdPosition>& cues,
                                         const CdPosition& now) {
    const CdPosition second{now.track, now.minutes, now.seconds, 0};
    for (const CdPosition& cue : cues) {
        if (discOrder(cue) > discOrder(second)) return cue;
    }
    return std::nullopt;
}

// The last cue strictly before `from`: pressed inside a cue's seconds, the
// start of that cue; pressed again from there, the one before.
inline std::optional<CdPosition> previousCue(const std::vector<CdPosition>& cues,
                                             const CdPosition& from) {
    std::optional<CdPosition> found;
    for (const CdPosition& cue : cues) {
        if (discOrder(cue) < discOrder(from)) found = cue;
    }
    return found;
}

}  // namespace quilo
