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
    GoTo,
    Black,
    Message
};

// The longest message for the stage, in bytes: a few lines on a tablet.
inline constexpr std::size_t kMaxMessageBytes = 280;

struct RemoteCommand {
    RemoteCommandKind kind = RemoteCommandKind::Play;
    CdPosition at;     // for GoTo: the second to go to
    bool on = false;   // for Black: the audience's screen black, or back
    std::string text;  // for Message: what the stage shows; empty clears it
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
    std::string text;  // a block's lines after its first, one per line
    std::string kind;  // "picture", "sound" or "text"
};

// What the show's side knows beside the script: the transport, the disc's
// tracks (each one's length in sectors, for the show's elapsed and remaining
// time), and the seconds left of a scripted pause.
struct ShowSide {
    Transport transport = Transport::Stopped;
    std::vector<std::int32_t> tracks;
    std::optional<double> pauseLeft;
};

struct RemoteState {
    CdPosition position;
    Transport transport = Transport::Stopped;
    bool ended = false;                // stopped by the script's closing line
    std::optional<RemoteCue> current;  // the last cue at or before the position
    std::optional<RemoteCue> next;     // the first cue after it
    std::string script;                // the script's file name
    std::optional<int> pauseLeft;      // whole seconds left of a scripted pause, rounded up
    std::optional<int> elapsed;        // seconds since the first cue, on the disc
    std::optional<int> remaining;      // seconds to the last cue
    std::string cues;                  // the cue list's version (see cuesVersion)
    // The operator's own, set by the remote's side.
    bool black = false;   // the audience's screen is black
    std::string message;  // for the stage, until cleared
    std::string waiting;  // a message on the show's computer that waits for OK
};

// The state at `position` of the show whose script `state` holds.
RemoteState remoteState(const Modulo1& state, const CdPosition& position, const ShowSide& side);

// A short text that changes whenever the script's lines change: the pages
// fetch the cue list again when it does (a script saved while it plays).
std::string cuesVersion(const Modulo1& state);

// The state as /api/state and the WebSocket send it.
std::string stateJson(const RemoteState& state);

// Every cue of the script, in the script's order, as /api/cues gives them.
std::string cuesJson(const Modulo1& state);

}  // namespace quilo
