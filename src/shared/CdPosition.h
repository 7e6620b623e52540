#pragma once
// A place on a disc as the program reads it from the CD device: track,
// minutes, seconds and frames (sectors), each a byte of one packed 32-bit
// value, track in the lowest. Every packing and unpacking goes through here.

#include <cstdint>
#include <cstdio>
#include <string>

namespace quilo {

inline constexpr int kSectorBytes = 2352;
inline constexpr int kFramesPerSector = 588;  // stereo frames: 44100 / 75
inline constexpr int kSectorsPerSecond = 75;
inline constexpr int kLeadInSectors = 150;  // the 2-second offset of every disc

struct CdPosition {
    std::int32_t track = 0;
    std::int32_t minutes = 0;
    std::int32_t seconds = 0;
    std::int32_t frames = 0;

    static constexpr CdPosition unpack(std::uint32_t packed) {
        return {static_cast<std::int32_t>(packed & 255u),
                static_cast<std::int32_t>((packed >> 8) & 255u),
                static_cast<std::int32_t>((packed >> 16) & 255u),
                static_cast<std::int32_t>((packed >> 24) & 255u)};
    }
    // So many sectors into a track; minutes past 255 wrap as a byte does.
    static constexpr CdPosition inTrack(std::int32_t track, std::int32_t sectors) {
        if (sectors < 0) sectors = 0;
        return {track, (sectors / (60 * kSectorsPerSecond)) & 255,
                (sectors / kSectorsPerSecond) % 60, sectors % kSectorsPerSecond};
    }

    constexpr std::uint32_t packed() const {
        return byte(track) | (byte(minutes) << 8) | (byte(seconds) << 16) | (byte(frames) << 24);
    }
    constexpr std::int32_t sectorsIntoTrack() const {
        return (minutes * 60 + seconds) * kSectorsPerSecond + frames;
    }
    // "TT:MM:SS:FF"
    std::string text() const {
        char out[16];
        std::snprintf(out, sizeof out, "%02u:%02u:%02u:%02u", byte(track), byte(minutes),
                      byte(seconds), byte(frames));
        return out;
    }
    bool operator==(const CdPosition&) const = default;

  private:
    static constexpr std::uint32_t byte(std::int32_t v) {
        return static_cast<std::uint32_t>(v) & 255u;
    }
};

// A packed position's track, minutes and seconds, its frames left out.
inline constexpr std::uint32_t kWithoutFrames = 0x00FFFFFFu;

// A sector count as packed MSF: minutes, seconds << 8, frames << 16.
constexpr std::uint32_t packMsf(std::int32_t sectors) {
    const CdPosition p = CdPosition::inTrack(0, sectors);
    return static_cast<std::uint32_t>(p.minutes) | (static_cast<std::uint32_t>(p.seconds) << 8) |
           (static_cast<std::uint32_t>(p.frames) << 16);
}

}  // namespace quilo
