#include "bundle/DiscSheet.h"

#include <cstdio>

namespace quilo {
namespace {

std::string msf(std::int32_t sector) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", sector / (60 * 75), sector / 75 % 60,
                  sector % 75);
    return text;
}

}  // namespace

std::string discCueSheet(const std::vector<DiscTrack>& tracks, const std::string& audioFile) {
    std::string sheet = "FILE \"" + audioFile + "\" WAVE\r\n";
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d", static_cast<int>(i + 1));
        sheet += std::string("  TRACK ") + number + " AUDIO\r\n";
        if (i == 0 && tracks[0].start > 0) sheet += "    INDEX 00 00:00:00\r\n";
        sheet += "    INDEX 01 " + msf(tracks[i].start) + "\r\n";
    }
    return sheet;
}

}  // namespace quilo
