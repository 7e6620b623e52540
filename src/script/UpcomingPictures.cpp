#include "script/UpcomingPictures.h"

#include <algorithm>

#include "script/ScriptCommand.h"
#include "shared/LineFormat.h"

namespace quilo {

namespace {

std::int64_t discSecond(int track, int minutes, int seconds) {
    return std::int64_t{track} * 100'000 + std::int64_t{minutes} * 60 + seconds;
}

}  // namespace

std::vector<UpcomingPicture> upcomingPictures(const Modulo1& state, std::size_t count) {
    std::vector<UpcomingPicture> names;
    const std::int64_t now = discSecond(state.cdTrack, state.cdMinutes, state.cdSeconds);
    const int end = std::min(state.lineCount, LineTable::kSize);
    for (int i = 0; i < end && names.size() < count; ++i) {
        const DecodedLine& line = state.scriptLines.decoded(i);
        if (line.track < 1 || line.track > 98) continue;
        if (discSecond(line.track, line.minutes, line.seconds) < now) continue;
        const ScriptCommand command = commandFor(line.commandLetter);
        if (command != ScriptCommand::Picture && command != ScriptCommand::Background) continue;
        const std::string name = nameBody(state.scriptLines[i]);
        if (name.empty() || name == kBlank) continue;
        const bool seen = std::any_of(names.begin(), names.end(),
                                      [&](const UpcomingPicture& p) { return p.name == name; });
        if (!seen) names.push_back({name, line.commandLetter});
    }
    return names;
}

}  // namespace quilo
