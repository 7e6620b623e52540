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

    // The samples of a sector: each 16-bit value names the sector and the frame.
    static void fillSector(std::int32_t sector, std::uint8_t* out) {
        for (int i = 0; i < kSectorBytes / 2; ++i) {
            const auto value = static_cast<std::uint16_t>(sector * 7 + i);
            out[2 * i] = static_cast<std::uint8_t>(value & 0xFF);
            out[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
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
