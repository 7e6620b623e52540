#include "script/check/CheckContext.h"

#include <cmath>
#include <cstdio>

namespace quilo {

std::string quoted(const std::string& text) {
    return "\u00AB" + text + "\u00BB";
}

std::string percent(double share) {
    return std::to_string(static_cast<int>(std::floor(share * 100))) + " %";
}

std::string timeText(int track, int minutes, int seconds) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", track % 100, minutes % 100, seconds % 100);
    return text;
}

}  // namespace quilo
