#pragma once
// Who may use the remote and what they may ask for. Every request on the
// shared network is hostile until it shows a key: given once in the address
// (?t=...), then kept in a cookie. The operator's key runs the show; the
// viewers' key (for the speaker's stage page, the streaming technician's
// live and captions pages) only watches it. Only a fixed list of pages and
// calls exists; a path is one of them exactly or nothing, so no file of the
// disk can ever be named.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quilo {

// 128 bits as 32 lower-case hex digits.
inline constexpr std::size_t kTokenLength = 32;

// Whether `given` is the token, compared in a time that does not depend on
// where the two first differ.
bool sameToken(std::string_view given, std::string_view token);

// A token written as the remote expects it (32 hex digits), lower-cased; none
// for anything else. For a token read from a file the operator wrote.
std::optional<std::string> wellFormedToken(std::string_view text);

enum class Role { None, Viewer, Operator };

struct RemoteKeys {
    std::string operatorKey;
    std::string viewerKey;
};

// The cookie that keeps a role's key for the remote on `port`. A browser
// sends a host's cookies to every port of it: each port's remote keeps its
// own, so two remotes on one machine never take each other's key.
std::string cookieName(int port, Role role);

// What a request may do: the key in its address ("t") when it has one (the
// link just opened is what counts), else the best of its cookies' keys.
Role requestRole(std::string_view query, std::string_view cookieHeader, int port,
                 const RemoteKeys& keys);

// Whether a Host header names this machine: one of `names` (its addresses,
// its name, "localhost"), with or without a port, an IPv6 address in
// brackets, letters in any case. A page of another site that a DNS trick
// points here names that site, not this machine.
bool hostNamesThisMachine(std::string_view host, const std::vector<std::string>& names);

enum class Route {
    Remote,
    Stage,
    Live,
    State,
    Cues,
    Thumbnail,
    Command,
    Socket,
    LiveSocket,
    Script,
    Style,
    Captions,
    None
};

// Whether a role may use a route: a viewer has the pages that watch the show
// and what they read, never the remote's page nor its commands.
bool roleMayUse(Role role, Route route);

// The line a thumbnail's address names ("line=N", N from 1 to 99999); none
// for anything else.
std::optional<int> thumbnailLine(std::string_view query);

// The page or call a path names; None for any other path, however written.
Route routeFor(std::string_view path);

}  // namespace quilo
