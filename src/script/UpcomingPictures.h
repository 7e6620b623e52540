#pragma once
// The pictures the show will need next, so that they can be decoded before
// their cue: a camera's photo takes longer to decode than a cue may wait.

#include <string>
#include <vector>

#include "shared/Modulo1.h"

namespace quilo {

struct UpcomingPicture {
    std::string name;    // as the script writes it
    std::string letter;  // the picture letter, or "V" for a background
    bool operator==(const UpcomingPicture&) const = default;
};

// The next `count` different pictures and backgrounds named by cue lines due
// at the disc's position or after it, in the order of the script.
std::vector<UpcomingPicture> upcomingPictures(const Modulo1& state, std::size_t count);

}  // namespace quilo
