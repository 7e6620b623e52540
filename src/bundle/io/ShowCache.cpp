#include "bundle/io/ShowCache.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <set>

#include "bundle/MemberName.h"
#include "bundle/PackPlan.h"
#include "bundle/io/BundleWriter.h"
#include "bundle/io/Sha256.h"
#include "script/ScriptLoader.h"
#include "shared/RegularFile.h"
#include "shared/Utf8.h"

namespace quilo {
namespace fs = std::filesystem;
namespace {

// Written last into a folder fully unpacked and checked: each file's size
// and modification time, which a later opening compares instead of hashing
// the whole show again.
constexpr const char* kReadyStamp = ".quilo-pronto";
constexpr std::size_t kStampLimit = 8u << 20;

std::int64_t modifiedNs(const struct stat& info) {
    return std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
}

std::string stampFor(const std::string& listHash, const ShowManifest& manifest,
                     const fs::path& folder, const std::string& bundle) {
    nlohmann::json files = nlohmann::json::array();
    for (const BundleMember& member : manifest.members) {
        struct stat info {};
        ::lstat((folder / member.path).c_str(), &info);
        files.push_back({member.path, modifiedNs(info)});
    }
    return nlohmann::json{{"list", listHash}, {"show", bundle}, {"files", files}}.dump(
        -1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Whether the folder still holds what was unpacked into it.
bool stillReady(const fs::path& folder, const std::string& listHash, const ShowManifest& manifest) {
    std::string bytes;
    if (readRegularFile((folder / kReadyStamp).string(), kStampLimit, bytes) != FileProblem::None)
        return false;
    try {
        const auto stamp = nlohmann::json::parse(bytes);
        const auto& files = stamp.at("files");
        if (stamp.at("list").get<std::string>() != listHash ||
            files.size() != manifest.members.size())
            return false;
        for (std::size_t i = 0; i < files.size(); ++i) {
            const BundleMember& member = manifest.members[i];
            struct stat info {};
            if (files[i].at(0).get<std::string>() != member.path ||
                ::lstat((folder / member.path).c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
                static_cast<std::uint64_t>(info.st_size) != member.size ||
                files[i].at(1).get<std::int64_t>() != modifiedNs(info))
                return false;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// The show file by its place, the same however it was named.
std::string identity(const std::string& path) {
    std::error_code ec;
    const fs::path full = fs::weakly_canonical(path, ec);
    return ec ? path : full.string();
}

// The folders an older version of the same show file was unpacked into.
void forgetOlderCopies(const fs::path& cache, const fs::path& kept, const std::string& bundle) {
    constexpr int kMostFolders = 1000;
    std::vector<fs::path> stale;
    std::error_code ec;
    int seen = 0;
    for (fs::directory_iterator it(cache, ec), end; !ec && it != end && seen < kMostFolders;
         it.increment(ec), ++seen) {
        if (it->path() == kept) continue;
        std::string bytes;
        if (readRegularFile((it->path() / kReadyStamp).string(), kStampLimit, bytes) !=
            FileProblem::None)
            continue;
        try {
            if (nlohmann::json::parse(bytes).value("show", std::string()) == bundle)
                stale.push_back(it->path());
        } catch (const std::exception&) {
        }
    }
    for (const fs::path& folder : stale) fs::remove_all(folder, ec);
}

bool enoughSpace(const fs::path& cache, std::uint64_t needed, std::string& error) {
    struct statvfs info {};
    if (::statvfs(cache.c_str(), &info) != 0) return true;
    const std::uint64_t free = std::uint64_t{info.f_bavail} * info.f_frsize;
    if (free >= needed + (std::uint64_t{64} << 20)) return true;
    error = "non c'è spazio per aprire lo spettacolo in " + cache.string() + ": servono " +
            std::to_string(needed >> 20) + " MB";
    return false;
}

bool unpackInto(const std::string& path, const ShowManifest& manifest, const fs::path& cache,
                const fs::path& folder, const std::string& listHash, std::string& error,
                const ReadProgress& progress) {
    if (!enoughSpace(cache, manifest.totalBytes(), error)) return false;
    std::string pattern = (cache / ".parziale-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        error = "non si può scrivere in " + cache.string();
        return false;
    }
    const fs::path partial = pattern;
    std::error_code ec;
    const bool read = readShowMembers(path, manifest, partial.string(), error, progress);
    if (read) {
        std::ofstream(partial / kReadyStamp, std::ios::binary)
            << stampFor(listHash, manifest, partial, identity(path));
        // Another run may have unpacked the same show meanwhile, and be
        // playing from it: a ready folder is kept, and this copy dropped.
        fs::rename(partial, folder, ec);
        if (ec && stillReady(folder, listHash, manifest)) {
            fs::remove_all(partial, ec);
            return true;
        }
        if (ec) {
            fs::remove_all(folder, ec);
            fs::rename(partial, folder, ec);
        }
        if (ec) error = "non si può preparare " + folder.string();
    }
    if (!read || ec) fs::remove_all(partial, ec);
    return read && !ec;
}

// What the show's script names, read from the show's folder as the player
// reads it; nothing for a script the player refuses (it says why itself).
std::optional<PackPlan> planOfShow(const OpenedShow& show) {
    const PathResolver paths(show.folder);
    Modulo1 state;
    state.scriptPath = show.script;
    ScriptLoader loader(state, paths);
    if (loader.MemorizzaLetturaRiga()) return std::nullopt;
    return planPack(state, paths);
}

// A script that names a file of this computer, out of the show's folder,
// could show what the show's author never had: refused.
bool namesOnlyItsOwnFiles(const OpenedShow& show, std::string& error) {
    const auto plan = planOfShow(show);
    if (!plan || plan->refused.empty()) return true;
    error =
        "il copione dello spettacolo nomina file fuori dallo spettacolo: " + plan->refused.front();
    return false;
}

}  // namespace

bool isShowFile(const std::string& path) {
    return path.size() > 6 && utf8::asciiLower(path.substr(path.size() - 6)) == ".quilo";
}

std::string showCacheFolder() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    const fs::path base =
        xdg && *xdg == '/' ? fs::path(xdg) : fs::path(home ? home : "/tmp") / ".cache";
    return (base / "quilo" / "spettacoli").string();
}

std::optional<OpenedShow> openShowFile(const std::string& path, std::string& error,
                                       const ReadProgress& progress) {
    std::string list;
    auto manifest = readShowManifest(path, error, &list);
    if (!manifest) return std::nullopt;
    const std::string listHash = Sha256::of(list);
    const fs::path cache = showCacheFolder();
    std::error_code ec;
    fs::create_directories(cache, ec);
    const fs::path folder = cache / listHash.substr(0, 32);
    OpenedShow show;
    show.reused = stillReady(folder, listHash, *manifest);
    if (!show.reused) {
        if (!unpackInto(path, *manifest, cache, folder, listHash, error, progress))
            return std::nullopt;
        forgetOlderCopies(cache, folder, identity(path));
    }
    show.folder = folder.string();
    show.script = (folder / manifest->script).string();
    if (!manifest->disc.empty()) show.disc = (folder / manifest->disc).string();
    show.manifest = std::move(*manifest);
    if (!namesOnlyItsOwnFiles(show, error)) return std::nullopt;
    return show;
}

// The files the script names now that the show does not carry yet: those
// in the show's folder go in under their place there. A name reaching out
// of the folder refuses the save, since the show file would then refuse to
// open.
bool newlyNamed(const OpenedShow& show, std::vector<std::string>& added, std::string& error) {
    const auto plan = planOfShow(show);
    if (!plan) return true;
    if (!plan->refused.empty()) {
        error = "il copione nomina file fuori dallo spettacolo (" + plan->refused.front() +
                "); metterli nella cartella dello spettacolo, " + show.folder;
        return false;
    }
    std::set<std::string> carried;
    for (const BundleMember& member : show.manifest.members)
        carried.insert(foldedName(member.path));
    for (const PackEntry& entry : plan->entries) {
        const std::string member =
            fs::path(entry.source).lexically_relative(show.folder).generic_string();
        if (memberNameProblem(member).empty() && carried.insert(foldedName(member)).second)
            added.push_back(member);
    }
    return true;
}

bool saveShowFile(const std::string& path, OpenedShow& show, std::string& error) {
    std::vector<std::string> added;
    if (!newlyNamed(show, added, error)) return false;
    BundleWriter writer;
    if (!writer.open(path, true, error)) return false;
    const fs::path folder = show.folder;
    for (const BundleMember& member : show.manifest.members) {
        if (!writer.addFile(member.path, (folder / member.path).string(), error)) return false;
        if (member.path != show.manifest.script &&
            writer.members().back().sha256 != member.sha256) {
            error = member.path + " è cambiato nella cartella dello spettacolo (" + show.folder +
                    ") da quando è stato aperto";
            return false;
        }
    }
    for (const std::string& member : added) {
        if (!writer.addFile(member, (folder / member).string(), error)) return false;
    }
    if (!writer.finish(show.manifest, error)) return false;
    show.manifest.members = writer.members();
    return true;
}

bool takeShowFile(const char* program, std::string& script, std::string& root, std::string& disc,
                  bool keepDisc) {
    if (!isShowFile(script)) return true;
    std::string error;
    const auto show = openShowFile(script, error);
    if (!show) {
        std::cerr << program << ": " << script << ": " << error << "\n";
        return false;
    }
    script = show->script;
    root = show->folder;
    if (!keepDisc && disc.empty()) disc = show->disc;
    return true;
}

}  // namespace quilo
