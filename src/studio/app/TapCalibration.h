#pragma once
// Clicks to tap along with, on a sound stream of their own, and how late each
// tap came after the click heard: the studio's show is left as it was.

#include <memory>
#include <vector>

#include "audio/CdStreamer.h"
#include "audio/ServerAudioOutput.h"
#include "cd/CdControl.h"
#include "shared/Warnings.h"

namespace quilo {

class TapCalibration {
  public:
    explicit TapCalibration(Warnings& warnings);
    ~TapCalibration();
    // Taps needed before a median is offered.
    static constexpr std::size_t kTaps = 8;
    // The lateness of this tap; the median once there are enough.
    std::optional<int> tap();
    std::size_t taps() const { return lateness_.size(); }

  private:
    ServerAudioOutput audio_;
    CdControl clicks_;
    CdStreamer streamer_;
    std::vector<int> lateness_;
};

}  // namespace quilo
