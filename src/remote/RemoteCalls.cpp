#include "remote/RemoteCalls.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

#include "presentation/CueJumps.h"
#include "script/ScriptCommand.h"
#include "shared/LineFormat.h"

namespace quilo {
namespace {

constexpr std::array<std::pair<std::string_view, RemoteCommandKind>, 11> kCommands{{
    {"play", RemoteCommandKind::Play},
    {"pause", RemoteCommandKind::Pause},
    {"stop", RemoteCommandKind::Stop},
    {"next-track", RemoteCommandKind::NextTrack},
    {"prev-track", RemoteCommandKind::PrevTrack},
    {"next-cue", RemoteCommandKind::NextCue},
    {"prev-cue", RemoteCommandKind::PrevCue},
    {"first-cue", RemoteCommandKind::FirstCue},
    {"goto", RemoteCommandKind::GoTo},
    {"black", RemoteCommandKind::Black},
    {"message", RemoteCommandKind::Message},
}};

// A block's lines after its opening one, as the display shows them: up to
// the closing line (its letter dropped), a bounded number of them.
constexpr int kBlockLinesShown = 40;

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

std::string blockLines(const Modulo1& state, int index, std::string_view closedBy) {
    std::string text;
    for (int i = index + 1; i < state.lineCount && i < LineTable::kSize; ++i) {
        if (i - index > kBlockLinesShown) break;
        const std::string& line = state.scriptLines[i];
        const bool closing = state.scriptLines.decoded(i).commandLetter == closedBy;
        text += '\n';
        text += closing && !line.empty() ? line.substr(0, line.size() - 1) : line;
        if (closing) break;
    }
    return text;
}

const char* kindOf(ScriptCommand command) {
    switch (command) {
        case ScriptCommand::Picture:
        case ScriptCommand::Background:
            return "picture";
        case ScriptCommand::Sound:
            return "sound";
        default:
            return "text";
    }
}

RemoteCue cueOf(const Modulo1& state, int index) {
    const std::string& line = state.scriptLines[index];
    const DecodedLine& d = state.scriptLines.decoded(index);
    const CommandTraits& traits = traitsFor(d.commandLetter);
    std::string text = commandBody(line);
    if (!traits.closedBy.empty()) text += blockLines(state, index, traits.closedBy);
    return {index + 1, d.timeText, std::string(traits.letter), std::move(text),
            kindOf(traits.command)};
}

// Sectors from the disc's start to a position; none off the disc.
std::optional<std::int64_t> onDisc(const CdPosition& at, const std::vector<std::int32_t>& tracks) {
    if (at.track < 1 || std::size_t(at.track) > tracks.size()) return std::nullopt;
    std::int64_t sectors = 0;
    for (int t = 1; t < at.track; ++t) sectors += tracks[std::size_t(t - 1)];
    return sectors + (std::int64_t{at.minutes} * 60 + at.seconds) * 75 + at.frames;
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
    return {{"line", cue->line},
            {"at", cue->at},
            {"letter", cue->letter},
            {"text", cue->text},
            {"kind", cue->kind}};
}

nlohmann::json optional(const std::optional<int>& value) {
    return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

}  // namespace

std::variant<RemoteCommand, std::string> parseRemoteCommand(std::string_view body) {
    const nlohmann::json request = nlohmann::json::parse(body, nullptr, false);
    if (request.is_discarded() || !request.is_object()) return std::string("il corpo non è JSON");
    const auto cmd = request.find("cmd");
    if (cmd == request.end() || !cmd->is_string()) return std::string("manca \"cmd\"");
    for (const auto& [name, kind] : kCommands) {
        if (*cmd != name) continue;
        RemoteCommand command{kind, {}, false, {}};
        if (kind == RemoteCommandKind::Black) {
            const auto on = request.find("on");
            if (on == request.end() || !on->is_boolean())
                return std::string("\"black\" vuole \"on\": true o false");
            command.on = on->get<bool>();
            return command;
        }
        if (kind == RemoteCommandKind::Message) {
            const auto text = request.find("text");
            if (text == request.end() || !text->is_string())
                return std::string("\"message\" vuole \"text\"");
            command.text = text->get<std::string>();
            if (command.text.size() > kMaxMessageBytes)
                return "il messaggio è troppo lungo (al massimo " +
                       std::to_string(kMaxMessageBytes) + " byte)";
            return command;
        }
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

RemoteState remoteState(const Modulo1& state, const CdPosition& position, const ShowSide& side) {
    RemoteState remote;
    remote.position = position;
    remote.transport = side.transport;
    remote.script = std::filesystem::path(state.scriptPath).filename().string();
    // Counted down from the pause's full seconds: 5, 4, ... 1, never a
    // stale 0 before the clock's first tick.
    if (state.pauseActive == 1 && side.pauseLeft)
        remote.pauseLeft = static_cast<int>(std::ceil(std::max(0.0, *side.pauseLeft) - 1e-6));
    const CdPosition second{position.track, position.minutes, position.seconds, 0};
    std::int64_t bestBefore = -1, bestAfter = -1, first = -1, last = -1;
    std::optional<CdPosition> firstAt, lastAt;
    for (int i = 0; i < state.lineCount && i < LineTable::kSize; ++i) {
        const DecodedLine& d = state.scriptLines.decoded(i);
        if (d.track < 1 || d.track > 98) continue;
        const CdPosition at{d.track, d.minutes, d.seconds, 0};
        const std::int64_t order = discOrder(at);
        if (first < 0 || order < first) first = order, firstAt = at;
        if (order > last) last = order, lastAt = at;
        if (order <= discOrder(second) && order > bestBefore) {
            bestBefore = order;
            remote.current = cueOf(state, i);
        } else if (order > discOrder(second) && (bestAfter < 0 || order < bestAfter)) {
            bestAfter = order;
            remote.next = cueOf(state, i);
        }
    }
    remote.ended = side.transport == Transport::Stopped && remote.current &&
                   remote.current->letter == "E" && !remote.next;
    const auto here = onDisc(position, side.tracks);
    const auto start = firstAt ? onDisc(*firstAt, side.tracks) : std::nullopt;
    const auto end = lastAt ? onDisc(*lastAt, side.tracks) : std::nullopt;
    if (here && start) remote.elapsed = int(std::max<std::int64_t>(0, *here - *start) / 75);
    if (here && end) remote.remaining = int((std::max<std::int64_t>(0, *end - *here) + 74) / 75);
    remote.cues = cuesVersion(state);
    return remote;
}

std::string cuesVersion(const Modulo1& state) {
    // FNV-1a over the lines and their count: cheap enough for every publish.
    std::uint32_t hash = 2166136261u;
    const auto mix = [&hash](unsigned char byte) { hash = (hash ^ byte) * 16777619u; };
    for (int i = 0; i < state.lineCount && i < LineTable::kSize; ++i) {
        for (const char c : state.scriptLines[i]) mix(static_cast<unsigned char>(c));
        mix('\n');
    }
    for (const char c : state.scriptPath) mix(static_cast<unsigned char>(c));
    char text[9];
    std::snprintf(text, sizeof text, "%08x", hash);
    return text;
}

std::string cuesJson(const Modulo1& state) {
    nlohmann::json cues = nlohmann::json::array();
    for (int i = 0; i < state.lineCount && i < LineTable::kSize; ++i) {
        const DecodedLine& d = state.scriptLines.decoded(i);
        if (d.track >= 1 && d.track <= 98) cues.push_back(cueJson(cueOf(state, i)));
    }
    return cues.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string stateJson(const RemoteState& state) {
    const CdPosition& p = state.position;
    const std::int64_t ms =
        (std::int64_t{p.minutes} * 60 + p.seconds) * 1000 + std::int64_t{p.frames} * 1000 / 75;
    return nlohmann::json{{"position", p.text()},
                          {"ms", ms},
                          {"track", p.track},
                          {"transport", transportName(state.transport)},
                          {"ended", state.ended},
                          {"current", cueJson(state.current)},
                          {"next", cueJson(state.next)},
                          {"script", state.script},
                          {"pause", optional(state.pauseLeft)},
                          {"elapsed", optional(state.elapsed)},
                          {"remaining", optional(state.remaining)},
                          {"cues", state.cues},
                          {"black", state.black},
                          {"message", state.message},
                          {"waiting", state.waiting}}
        .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace quilo
