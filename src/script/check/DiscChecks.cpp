#include "script/check/DiscChecks.h"

#include <cstdio>

namespace quilo {
namespace {

constexpr int kSectorsPerSecond = 75;

std::string lasting(std::int32_t sectors) {
    const std::int32_t seconds = sectors / kSectorsPerSecond;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

}  // namespace

void checkAgainstDisc(CheckContext& c, const std::vector<std::int32_t>& tracks) {
    for (int i = 0; i < c.state.lineCount && i < LineTable::kSize; ++i) {
        const DecodedLine& d = c.decoded(i);
        if (d.track < 1 || d.track > kLastTrack) continue;
        if (std::size_t(d.track) > tracks.size()) {
            c.warning(i, "il disco ha " + std::to_string(tracks.size()) +
                             (tracks.size() == 1 ? " brano" : " brani") + ": la riga del brano " +
                             std::to_string(d.track) + " non verrà mai eseguita");
            continue;
        }
        const std::int32_t length = tracks[std::size_t(d.track - 1)];
        const std::int64_t at = (std::int64_t{d.minutes} * 60 + d.seconds) * kSectorsPerSecond;
        if (at < length) continue;
        c.warning(i, "il brano " + std::to_string(d.track) + " dura " + lasting(length) +
                         ": la riga, a " + timeText(d.track, d.minutes, d.seconds) +
                         ", non verrà mai eseguita");
    }
}

}  // namespace quilo
