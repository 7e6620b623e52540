#pragma once
// The names a show file may give its members. A show file comes from someone
// else, so a name is checked before anything is written under it: it must stay
// inside the show's folder on every system the show may travel to.

#include <string>
#include <string_view>

namespace quilo {

inline constexpr std::size_t kMaxMemberNameBytes = 1024;

// Why `name` cannot name a member, in Italian; empty when it can. Refused:
// empty or overlong names, names that are not UTF-8, control characters,
// backslashes, absolute and drive paths, empty, "." and ".." components.
std::string memberNameProblem(std::string_view name);

// The name as a system that ignores letter case sees it: two members whose
// folded names are equal would overwrite each other there.
std::string foldedName(std::string_view name);

}  // namespace quilo
