#pragma once
// What the remote's calls say and ask, as JSON: the show's state (position,
// transport, the cue on view and the one to come), and the commands a phone
// or a pedal may send. Anything else is refused with a reason.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "shared/CdPosition.h"
#include "shared/Modulo1.h"

namespace quilo {

enum class RemoteCommandKind {
    Play,
    Pause,
    Stop,
    NextTrack,
    PrevTrack,
    NextCue,
    PrevCue,
    FirstCue,
    GoTo
};

struct RemoteCommand {
    RemoteCommandKind kind = RemoteCommandKind::Play;
    CdPosition at;  // for GoTo: the second to go to
    bool operator==(const RemoteCommand&) const = default;
};

// The command a request's body asks for, or why it is refused (in Italian).
// The body is at most a few KiB: the server refuses longer ones before this.
std::variant<RemoteCommand, std::string> parseRemoteCommand(std::string_view body);

// Why a "goto" cannot go where it asks on a disc of `tracks` (each track's
// length in sectors): a track it lacks, or a second past a track's end.
// None when it can, or when no disc is known.
std::optional<std::string> outsideDisc(const CdPosition& at,
                                       const std::vector<std::int32_t>& tracks);

enum class Transport { Playing, Paused, Stopped };

struct RemoteCue {
    int line = 0;    // 1-based
    std::string at;  // "TT:MM:SS"
    std::string letter;
    std::string text;
};

struct RemoteState {
    CdPosition position;
    Transport transport = Transport::Stopped;
    std::optional<RemoteCue> current;  // the last cue at or before the position
    std::optional<RemoteCue> next;     // the first cue after it
    std::string script;                // the script's file name
    std::optional<int> pauseLeft;      // seconds left of a scripted pause
};

// The state at `position` of the show whose script `state` holds.
RemoteState remoteState(const Modulo1& state, const CdPosition& position, Transport transport);

// The state as /api/state and the WebSocket send it.
std::string stateJson(const RemoteState& state);

// Every cue of the script, in the script's order, as /api/cues gives them.
std::string cuesJson(const Modulo1& state);

}  // namespace quilo
