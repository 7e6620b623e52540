#pragma once
// A disc of one track with a click (20 samples at near full scale) at the
// first sample of every second and silence between: what the sync
// measurements and tests listen for.

#include <vector>

#include "cd/DiscSource.h"
#include "shared/AudioOutput.h"

namespace quilo {

class ClickDisc : public DiscSource {
  public:
    explicit ClickDisc(int seconds) : toc_{{0, seconds * kSectorsPerSecond}} {}
    static constexpr std::int16_t kClick = 30000;
    static std::int16_t sampleAt(std::int64_t frame) {
        return frame % kSampleRate < 20 ? kClick : 0;
    }
    const std::vector<DiscTrack>& tracks() const override { return toc_; }
    bool readSector(std::int32_t sector, std::uint8_t* out) override {
        auto* samples = reinterpret_cast<std::int16_t*>(out);
        for (int f = 0; f < kFramesPerSector; ++f) {
            samples[2 * f] = samples[2 * f + 1] =
                sampleAt(std::int64_t{sector} * kFramesPerSector + f);
        }
        return true;
    }

  private:
    std::vector<DiscTrack> toc_;
};

}  // namespace quilo
