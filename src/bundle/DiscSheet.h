#pragma once
// The CUE sheet that carries a disc's table of contents into a show file,
// beside the disc's samples in one FLAC from its first sector: each track
// starts where it started on the disc, so the tracks' starts and lengths
// (and every cue's place) are the disc's own.

#include <string>
#include <vector>

#include "cd/DiscSource.h"

namespace quilo {

inline constexpr const char* kDiscSheetMember = "quilo-disco/disco.cue";
inline constexpr const char* kDiscAudioMember = "quilo-disco/disco.flac";

std::string discCueSheet(const std::vector<DiscTrack>& tracks, const std::string& audioFile);

}  // namespace quilo
