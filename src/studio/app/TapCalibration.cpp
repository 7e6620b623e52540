#include "studio/app/TapCalibration.h"

#include "cd/ClickDisc.h"
#include "studio/TapTiming.h"

namespace quilo {

TapCalibration::TapCalibration(Warnings& warnings)
    : audio_(&warnings),
      clicks_([] { return std::make_unique<ClickDisc>(10 * 60); }, audio_),
      streamer_(clicks_) {
    streamer_.start();
    clicks_.command(CdCommand::Open);
    clicks_.setTimeFormat(kTimeFormatTmsf);
    clicks_.buttonPlay();
}

TapCalibration::~TapCalibration() {
    clicks_.buttonStop();
    streamer_.stop();
}

std::optional<int> TapCalibration::tap() {
    lateness_.push_back(tapLatenessMs(clicks_.heardFrame()));
    return medianLatenessMs(lateness_, kTaps);
}

}  // namespace quilo
