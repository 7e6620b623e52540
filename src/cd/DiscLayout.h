#pragma once
// The one place where a disc's table is made from track starts counted in
// 64 bits, so that no source can produce a negative length or a position
// past what a CD can address (99 tracks, 99:59:74). What does not fit is cut
// off, with a note for the user.

#include <cstdint>
#include <string>
#include <vector>

#include "cd/DiscSource.h"

namespace quilo {

inline constexpr std::int64_t kMaxDiscSectors = std::int64_t{100} * 60 * kSectorsPerSecond;
inline constexpr std::size_t kMaxTracks = 99;

// `starts` in ascending order, `end` the first sector after the last track.
// Empty when the starts go backwards or the disc has no sound at all.
std::vector<DiscTrack> discTable(std::vector<std::int64_t> starts, std::int64_t end,
                                 std::vector<std::string>& notes);

// Sectors that hold `frames` stereo frames, the last one padded.
inline std::int64_t sectorsFor(std::int64_t frames) {
    return frames <= 0 ? 0 : (frames + kFramesPerSector - 1) / kFramesPerSector;
}

}  // namespace quilo
