#include "remote/RemoteCalls.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <filesystem>

#include "presentation/CueJumps.h"
#include "script/ScriptCommand.h"
#include "shared/LineFormat.h"

namespace quilo {
namespace {

constexpr std::array<std::pair<std::string_view, RemoteCommandKind>, 9> kCommands{{
    {"play", RemoteCommandKind::Play},
    {"pause", RemoteCommandKind::Pause},
    {"stop", RemoteCommandKind::Stop},
    {"next-track", RemoteCommandKind::NextTrack},
    {"prev-track", RemoteCommandKind::PrevTrack},
    {"next-cue", RemoteCommandKind::NextCue},
    {"prev-cue", RemoteCommandKind::PrevCue},
    {"first-cue", RemoteCommandKind::FirstCue},
    {"goto", RemoteCommandKind::GoTo},
}};

// "TT:MM:SS" with a track from 1 to 98, minutes to 99 and seconds to 59.
std::optional<CdPosition> parseSecond(const std::string& text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
    for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u})
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    const int track = std::stoi(text.substr(0, 2));
    const int minutes = std::stoi(text.substr(3, 2));
    const int seconds = std::stoi(text.substr(6, 2));
    if (track < 1 || track > 98 || seconds > 59) return std::nullopt;
    return CdPosition{track, minutes, seconds, 0};
}

RemoteCue cueOf(const Modulo1& state, int index) {
    const std::string& line = state.scriptLines[index];
    const DecodedLine& d = state.scriptLines.decoded(index);
    const CommandTraits& traits = traitsFor(d.commandLetter);
    return {index + 1, d.timeText, std::string(traits.letter), commandBody(line)};
}

const char* transportName(Transport t) {
    switch (t) {
        case Transport::Playing:
            return "playing";
        case Transport::Paused:
            return "paused";
        case Transport::Stopped:
            break;
    }
    return "stopped";
}

nlohmann::json cueJson(const std::optional<RemoteCue>& cue) {
    if (!cue) return nullptr;
    return {{"line", cue->line}, {"at", cue->at}, {"letter", cue->letter}, {"text", cue->text}};
}

}  // namespace

std::variant<RemoteCommand, std::string> parseRemoteCommand(std::string_view body) {
    const nlohmann::json request = nlohmann::json::parse(body, nullptr, false);
    if (request.is_discarded() || !request.is_object()) return std::string("il corpo non è JSON");
    const auto cmd = request.find("cmd");
    if (cmd == request.end() || !cmd->is_string()) return std::string("manca \"cmd\"");
    for (const auto& [name, kind] : kCommands) {
        if (*cmd != name) continue;
        RemoteCommand command{kind, {}};
        if (kind != RemoteCommandKind::GoTo) return command;
        const auto at = request.find("at");
        const auto second = at != request.end() && at->is_string()
                                ? parseSecond(at->get<std::string>())
                                : std::nullopt;
        if (!second) return std::string("\"goto\" vuole \"at\": \"TT:MM:SS\"");
        command.at = *second;
        return command;
    }
    return std::string("comando sconosciuto");
}

std::optional<std::string> outsideDisc(const CdPosition& at,
                                       const std::vector<std::int32_t>& tracks) {
    if (tracks.empty()) return std::nullopt;
    if (at.track < 1 || std::size_t(at.track) > tracks.size())
        return "il disco ha " + std::to_string(tracks.size()) + " brani";
    const std::int32_t length = tracks[std::size_t(at.track - 1)];
    if ((std::int64_t{at.minutes} * 60 + at.seconds) * 75 < length) return std::nullopt;
    const std::int32_t seconds = length / 75;
    char lasts[64];
    std::snprintf(lasts, sizeof lasts, "il brano %d dura %d:%02d", at.track, seconds / 60,
                  seconds % 60);
    return std::string(lasts);
}

RemoteState remoteState(const Modulo1& state, const CdPosition& position, Transport transport) {
    RemoteState remote;
    remote.position = position;
    remote.transport = transport;
    remote.script = std::filesystem::path(state.scriptPath).filename().string();
    if (state.pauseActive == 1)
        remote.pauseLeft = std::max(0, state.pauseSeconds - state.elapsedSeconds);
    const CdPosition second{position.track, position.minutes, position.seconds, 0};
    std::int64_t bestBefore = -1, bestAfter = -1;
    for (int i = 0; i < state.lineCount && i < LineTable::kSize; ++i) {
        const DecodedLine& d = state.scriptLines.decoded(i);
        if (d.track < 1 || d.track > 98) continue;
        const std::int64_t order = discOrder({d.track, d.minutes, d.seconds, 0});
        if (order <= discOrder(second) && order > bestBefore) {
            bestBefore = order;
            remote.current = cueOf(state, i);
        } else if (order > discOrder(second) && (bestAfter < 0 || order < bestAfter)) {
            bestAfter = order;
            remote.next = cueOf(state, i);
        }
    }
    return remote;
}

std::string cuesJson(const Modulo1& state) {
    nlohmann::json cues = nlohmann::json::array();
    for (int i = 0; i < state.lineCount && i < LineTable::kSize; ++i) {
        const DecodedLine& d = state.scriptLines.decoded(i);
        if (d.track >= 1 && d.track <= 98) cues.push_back(cueJson(cueOf(state, i)));
    }
    return cues.dump();
}

std::string stateJson(const RemoteState& state) {
    const CdPosition& p = state.position;
    const std::int64_t ms =
        (std::int64_t{p.minutes} * 60 + p.seconds) * 1000 + std::int64_t{p.frames} * 1000 / 75;
    return nlohmann::json{
        {"position", p.text()},
        {"ms", ms},
        {"track", p.track},
        {"transport", transportName(state.transport)},
        {"current", cueJson(state.current)},
        {"next", cueJson(state.next)},
        {"script", state.script},
        {"pause", state.pauseLeft ? nlohmann::json(*state.pauseLeft) : nlohmann::json(nullptr)}}
        .dump();
}

}  // namespace quilo
