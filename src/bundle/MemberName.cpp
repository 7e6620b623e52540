#include "bundle/MemberName.h"

#include "shared/Utf8.h"

namespace quilo {

std::string memberNameProblem(std::string_view name) {
    if (name.empty()) return "un nome vuoto";
    if (name.size() > kMaxMemberNameBytes) return "un nome troppo lungo";
    if (!utf8::isValid(name)) return "un nome che non è UTF-8";
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return "un nome con caratteri di controllo";
        if (c == '\\') return "un nome con barre rovesciate";
    }
    if (name.front() == '/') return "un percorso assoluto";
    if (name.size() >= 2 && name[1] == ':') return "un percorso con la lettera di un'unità";
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        const std::string_view part = name.substr(start, end - start);
        if (part.empty()) return "un percorso con una cartella senza nome";
        if (part == "." || part == "..") return "un percorso che risale di cartella (\"..\")";
        start = end + 1;
    }
    return {};
}

std::string foldedName(std::string_view name) {
    return utf8::asciiLower(name);
}

}  // namespace quilo
