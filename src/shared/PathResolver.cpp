#include "shared/PathResolver.h"

#include "shared/Utf8.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <system_error>

namespace quilo {
namespace fs = std::filesystem;
namespace {

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool pathExists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

// The entry of `folder` whose name equals `name` without regard to case.
fs::path caseInsensitiveChild(const fs::path& folder, const std::string& name) {
    const std::string wanted = utf8::asciiLower(name);
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (utf8::asciiLower(it->path().filename().string()) == wanted) return it->path();
    }
    return folder / name;
}

// Follows `relative` from `base` one component at a time, matching each
// missing component by case.
fs::path matchComponents(fs::path base, const fs::path& relative) {
    for (const auto& part : relative) {
        const std::string name = part.string();
        if (name.empty() || name == ".") continue;
        fs::path next = base / part;
        if (name != ".." && !pathExists(next)) next = caseInsensitiveChild(base, name);
        base = std::move(next);
    }
    return base;
}

}  // namespace

fs::path PathResolver::resolve(std::string_view written, const fs::path& relativeTo) const {
    std::string text(written);
    std::replace(text.begin(), text.end(), '\\', '/');

    fs::path base;
    if (text.size() >= 2 && text[1] == ':' && isDriveLetter(text[0])) {
        base = root_;
        text.erase(0, 2);
    } else if (!text.empty() && text[0] == '/') {
        // A rooted name without a drive meant the current drive, the data root;
        // but a native absolute path, whose first folder exists here, stays one.
        const fs::path rooted(text);
        const auto first = std::next(rooted.begin());
        const bool native = first != rooted.end() && pathExists(fs::path("/") / *first);
        base = native ? fs::path("/") : root_;
    } else {
        base = relativeTo.empty() ? fs::current_path() : relativeTo;
    }
    while (!text.empty() && text[0] == '/') text.erase(0, 1);
    if (text.empty()) return base;
    if (pathExists(base / text)) return base / text;
    return matchComponents(base, fs::path(text));
}

}  // namespace quilo
