#pragma once
// A sound is playable when it opens and decodes exactly as the player opens
// it: what the checker, the simulation and the export all ask.

#include <string>
#include <vector>

#include "media/io/AudioFile.h"
#include "shared/CdPosition.h"
#include "shared/SoundCheck.h"

namespace quilo {

class DecodingSoundCheck : public SoundCheck {
  public:
    bool playable(const std::string& file) override {
        std::string why;
        auto sound = AudioFile::open(file, why);
        std::vector<std::uint8_t> first(std::size_t(kFramesPerSector) * 4);
        return sound && sound->read(0, kFramesPerSector, first.data());
    }
};

}  // namespace quilo
