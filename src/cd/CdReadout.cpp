#include "cd/CdReadout.h"

#include <string>

#include "shared/CdPosition.h"

namespace quilo {

void CdReadout::AggiornaPosizioneCd() {
    const CdPosition p = CdPosition::unpack(device_.position());
    state_.cdTrack = p.track;
    state_.cdMinutes = p.minutes;
    state_.cdSeconds = p.seconds;
    state_.cdFrames = p.frames;
    panel_.Text1 = std::to_string(state_.cdTrack);
    panel_.Text2 = std::to_string(state_.cdMinutes);
    panel_.Text3 = std::to_string(state_.cdSeconds);
    panel_.Text4 = std::to_string(state_.cdFrames);
}

void CdReadout::LetturaCodiceCd() {
    const int n = device_.tracks();
    // 32-bit signed sum, wrapping rather than overflowing on absurd device values.
    std::uint32_t code = static_cast<std::uint32_t>(n);
    for (int i = 1; i <= n; ++i) {
        device_.setTrack(i);
        code += device_.trackLength();
        code += device_.trackPosition();
    }
    panel_.Text7 = std::to_string(static_cast<std::int32_t>(code));
}

}  // namespace quilo
