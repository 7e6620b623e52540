#pragma once
// A disc of silent tracks of given lengths: the virtual disc of the headless
// simulation and of whole-presentation tests.

#include <algorithm>
#include <vector>

#include "cd/DiscSource.h"

namespace quilo {

class SilentDisc : public DiscSource {
  public:
    explicit SilentDisc(const std::vector<std::int32_t>& trackSectors) {
        std::int32_t start = 0;
        for (std::int32_t length : trackSectors) {
            toc_.push_back({start, length});
            start += length;
        }
    }
    const std::vector<DiscTrack>& tracks() const override { return toc_; }
    bool readSector(std::int32_t, std::uint8_t* out) override {
        std::fill(out, out + kSectorBytes, 0);
        return true;
    }

  private:
    std::vector<DiscTrack> toc_;
};

}  // namespace quilo
