#pragma once
// The disc a command-line tool plays: a real one (--disc) read through the
// player's own disc sources, or silent tracks of given lengths (--tracks).
// Shared by quilo-sim and quilo-export so that both read their options alike.

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cd/io/DiscSources.h"

namespace quilo {

// "12,0,7" or "01:02:03" as numbers; false for anything else.
inline bool parseNumbers(const std::string& text, char separator, std::vector<int>& numbers) {
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, separator)) {
        char* end = nullptr;
        const long value = std::strtol(part.c_str(), &end, 10);
        if (part.empty() || *end != '\0' || value < 0 || value > 1'000'000'000) return false;
        numbers.push_back(static_cast<int>(value));
    }
    return !numbers.empty();
}

// Track lengths in sectors from --tracks seconds; a track longer than a whole
// disc is cut to a disc's length, saying so.
inline std::vector<std::int32_t> silentTracks(const std::vector<int>& seconds,
                                              const std::string& tool) {
    constexpr int kLongestTrackSeconds = 100 * 60;
    std::vector<std::int32_t> sectors;
    for (int s : seconds) {
        if (s > kLongestTrackSeconds)
            std::cerr << tool << ": un brano dura al massimo " << kLongestTrackSeconds
                      << " secondi; " << s << " ridotto\n";
        sectors.push_back(std::min(s, kLongestTrackSeconds) * kSectorsPerSecond);
    }
    return sectors;
}

// Opens --disc, printing its notes; nothing (and the reason printed) when it
// cannot be read.
inline std::unique_ptr<DiscSource> openNamedDisc(const std::string& disc, const std::string& tool) {
    std::string error;
    auto source = openDiscSource(disc, error);
    if (!source) {
        std::cerr << tool << ": " << error << "\n";
        return nullptr;
    }
    for (const std::string& note : source->notes) std::cerr << tool << ": " << note << "\n";
    return source;
}

}  // namespace quilo
