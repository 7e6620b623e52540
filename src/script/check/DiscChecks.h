#pragma once
// The cues against the disc they will play with, when the check knows it: a
// cue on a track the disc lacks, or past its track's end, never runs.

#include <cstdint>
#include <vector>

#include "script/check/CheckContext.h"

namespace quilo {

// `tracks`: each track's length in sectors.
void checkAgainstDisc(CheckContext& context, const std::vector<std::int32_t>& tracks);

}  // namespace quilo
