#pragma once
// A disc as the transport sees it: a table of tracks in sectors (1/75 s, 2352
// bytes of 16-bit little-endian stereo each) and the sectors themselves.
// Sources: a drive or TOC/NRG image, a CUE sheet, a folder of audio files.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shared/CdPosition.h"

namespace quilo {

struct DiscTrack {
    std::int32_t start = 0;   // first sector, counted from the disc's first sector
    std::int32_t length = 0;  // sectors, up to the next track's start
    bool operator==(const DiscTrack&) const = default;
};

class DiscSource {
  public:
    virtual ~DiscSource() = default;
    virtual const std::vector<DiscTrack>& tracks() const = 0;
    // Fills `out` (2352 bytes) with the sector's samples; false when it cannot
    // be read, and the sector then plays as silence.
    virtual bool readSector(std::int32_t sector, std::uint8_t* out) = 0;

    std::int32_t endSector() const {
        return tracks().empty() ? 0 : tracks().back().start + tracks().back().length;
    }

    // What the user should know about a disc that opened all the same (tracks
    // left out, a table cut short), one Italian line each.
    std::vector<std::string> notes;
};

}  // namespace quilo
