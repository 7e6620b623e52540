#include "remote/RemoteAccess.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace quilo {
namespace {

// The value of `key` in "a=1&b=2" or "a=1; b=2" lists.
std::optional<std::string_view> valueOf(std::string_view list, std::string_view key,
                                        char separator) {
    while (!list.empty()) {
        const auto end = list.find(separator);
        std::string_view pair = list.substr(0, end);
        while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
        const auto equals = pair.find('=');
        if (equals != std::string_view::npos && pair.substr(0, equals) == key)
            return pair.substr(equals + 1);
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return std::nullopt;
}

}  // namespace

bool sameToken(std::string_view given, std::string_view token) {
    // Every character of the expected token is compared, whatever the given
    // one's length, and differences are gathered, not acted on, until the end.
    unsigned difference = given.size() == token.size() ? 0u : 1u;
    for (std::size_t i = 0; i < token.size(); ++i) {
        const unsigned char g = i < given.size() ? static_cast<unsigned char>(given[i]) : 0;
        difference |= g ^ static_cast<unsigned char>(token[i]);
    }
    return difference == 0 && !token.empty();
}

std::optional<std::string> wellFormedToken(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    if (text.size() != kTokenLength) return std::nullopt;
    std::string token;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        token += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return token;
}

std::string cookieName(int port, Role role) {
    return "quilo_" + std::to_string(port) + (role == Role::Operator ? "" : "_vista");
}

Role requestRole(std::string_view query, std::string_view cookieHeader, int port,
                 const RemoteKeys& keys) {
    const auto roleOf = [&keys](std::string_view given) {
        if (sameToken(given, keys.operatorKey)) return Role::Operator;
        if (sameToken(given, keys.viewerKey)) return Role::Viewer;
        return Role::None;
    };
    if (const auto fromQuery = valueOf(query, "t", '&')) return roleOf(*fromQuery);
    Role best = Role::None;
    for (const Role role : {Role::Viewer, Role::Operator}) {
        const std::string name = cookieName(port, role);
        if (const auto kept = valueOf(cookieHeader, name, ';'); kept && roleOf(*kept) == role)
            best = role;
    }
    return best;
}

bool roleMayUse(Role role, Route route) {
    switch (role) {
        case Role::Operator:
            return true;
        case Role::Viewer:
            return route != Route::Remote && route != Route::Command;
        case Role::None:
            break;
    }
    return false;
}

std::optional<int> thumbnailLine(std::string_view query) {
    const auto value = valueOf(query, "line", '&');
    if (!value || value->empty() || value->size() > 5) return std::nullopt;
    int line = 0;
    for (const char c : *value) {
        if (c < '0' || c > '9') return std::nullopt;
        line = line * 10 + (c - '0');
    }
    if (line < 1) return std::nullopt;
    return line;
}

Route routeFor(std::string_view path) {
    struct Known {
        std::string_view path;
        Route route;
    };
    static constexpr std::array<Known, 12> kKnown{{{"/", Route::Remote},
                                                   {"/captions", Route::Captions},
                                                   {"/api/thumb", Route::Thumbnail},
                                                   {"/ws/live", Route::LiveSocket},
                                                   {"/api/cues", Route::Cues},
                                                   {"/stage", Route::Stage},
                                                   {"/live", Route::Live},
                                                   {"/api/state", Route::State},
                                                   {"/api/command", Route::Command},
                                                   {"/ws", Route::Socket},
                                                   {"/remote.js", Route::Script},
                                                   {"/remote.css", Route::Style}}};
    for (const Known& known : kKnown)
        if (known.path == path) return known.route;
    return Route::None;
}

bool hostNamesThisMachine(std::string_view host, const std::vector<std::string>& names) {
    std::string name;
    if (!host.empty() && host.front() == '[') {
        const auto close = host.find(']');
        if (close == std::string_view::npos) return false;
        name = std::string(host.substr(1, close - 1));
    } else {
        name = std::string(host.substr(0, host.find(':')));
    }
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!name.empty() && name.back() == '.') name.pop_back();  // "localhost." is localhost
    return !name.empty() && std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace quilo
