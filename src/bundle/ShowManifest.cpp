#include "bundle/ShowManifest.h"

#include <nlohmann/json.hpp>
#include <set>

#include "bundle/MemberName.h"

namespace quilo {
namespace {

using Json = nlohmann::json;

bool isSha256(const std::string& text) {
    if (text.size() != 64) return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

// Why the members cannot be believed; empty when they can.
std::string membersProblem(const ShowManifest& m) {
    if (m.members.size() > kMaxMembers) return "elenca troppi file";
    std::set<std::string> folded;
    std::uint64_t total = 0;
    for (const BundleMember& member : m.members) {
        const std::string why = memberNameProblem(member.path);
        if (!why.empty()) return "nomina un file con " + why + " (" + member.path + ")";
        if (member.path == kManifestName) return "elenca se stesso tra i file";
        if (!folded.insert(foldedName(member.path)).second)
            return "nomina due volte lo stesso file, maiuscole a parte (" + member.path + ")";
        if (member.size > kMaxMemberBytes) return "dà un file troppo grande (" + member.path + ")";
        if (!isSha256(member.sha256)) return "dà un'impronta non valida (" + member.path + ")";
        total += member.size;
        if (total > kMaxShowBytes) return "supera la grandezza massima di uno spettacolo";
    }
    if (!m.find(m.script)) return "non contiene il copione che nomina";
    if (!m.disc.empty() && !m.find(m.disc)) return "non contiene il disco che nomina";
    return {};
}

}  // namespace

const BundleMember* ShowManifest::find(std::string_view path) const {
    for (const BundleMember& member : members) {
        if (member.path == path) return &member;
    }
    return nullptr;
}

std::uint64_t ShowManifest::totalBytes() const {
    std::uint64_t total = 0;
    for (const BundleMember& member : members) total += member.size;
    return total;
}

std::string manifestJson(const ShowManifest& m) {
    Json files = Json::array();
    for (const BundleMember& member : m.members)
        files.push_back({{"path", member.path}, {"size", member.size}, {"sha256", member.sha256}});
    Json json = {{"format", "quilo-show"},
                 {"version", m.version},
                 {"title", m.title},
                 {"script", m.script},
                 {"files", files}};
    if (!m.disc.empty()) json["disc"] = m.disc;
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<ShowManifest> parseManifest(std::string_view text, std::string& error) {
    if (text.size() > kMaxManifestBytes) {
        error = "l'elenco dei file (show.json) è troppo grande";
        return std::nullopt;
    }
    ShowManifest m;
    try {
        const Json json = Json::parse(text);
        if (json.at("format").get<std::string>() != "quilo-show") throw std::runtime_error("");
        m.version = json.at("version").get<int>();
        if (m.version > kShowFormatVersion || m.version < 1) {
            error =
                "lo spettacolo è stato preparato con una versione più recente di Quilo "
                "(formato " +
                std::to_string(m.version) + "): aggiornare Quilo";
            return std::nullopt;
        }
        m.title = json.value("title", std::string());
        m.script = json.at("script").get<std::string>();
        m.disc = json.value("disc", std::string());
        const Json& files = json.at("files");
        if (!files.is_array() || files.size() > kMaxMembers) throw std::runtime_error("");
        for (const Json& file : files) {
            m.members.push_back({file.at("path").get<std::string>(),
                                 file.at("size").get<std::uint64_t>(),
                                 file.at("sha256").get<std::string>()});
        }
    } catch (const std::exception&) {
        error = "l'elenco dei file (show.json) non è leggibile";
        return std::nullopt;
    }
    const std::string why = membersProblem(m);
    if (!why.empty()) {
        error = "l'elenco dei file (show.json) " + why;
        return std::nullopt;
    }
    return m;
}

}  // namespace quilo
