#pragma once
// A disc held in memory whose every sector has samples of its own, so that a
// test can tell exactly which sectors reached the output.

#include <cstring>
#include <set>
#include <vector>

#include "cd/DiscSource.h"

namespace quilo::testing {

class FakeDisc : public DiscSource {
  public:
    explicit FakeDisc(std::vector<DiscTrack> toc) : toc_(std::move(toc)) {}

    const std::vector<DiscTrack>& tracks() const override { return toc_; }
    bool readSector(std::int32_t sector, std::uint8_t* out) override {
        if (unreadable.count(sector)) return false;
        fillSector(sector, out);
        return true;
    }

    // The samples of a sector: each left value names the sector and the
    // frame, and the right one is its bitwise complement, so a stream shifted
    // by a byte or a sample shows in every frame.
    static void fillSector(std::int32_t sector, std::uint8_t* out) {
        for (int f = 0; f < kFramesPerSector; ++f) {
            const auto left = static_cast<std::uint16_t>(sector * 7 + 2 * f);
            const auto right = static_cast<std::uint16_t>(~left);
            out[4 * f] = static_cast<std::uint8_t>(left & 0xFF);
            out[4 * f + 1] = static_cast<std::uint8_t>(left >> 8);
            out[4 * f + 2] = static_cast<std::uint8_t>(right & 0xFF);
            out[4 * f + 3] = static_cast<std::uint8_t>(right >> 8);
        }
    }
    static std::vector<std::uint8_t> samples(std::int32_t from, std::int32_t to) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(to - from) * kSectorBytes);
        for (std::int32_t s = from; s < to; ++s) {
            fillSector(s, bytes.data() + static_cast<std::size_t>(s - from) * kSectorBytes);
        }
        return bytes;
    }

    std::set<std::int32_t> unreadable;

  private:
    std::vector<DiscTrack> toc_;
};

}  // namespace quilo::testing
