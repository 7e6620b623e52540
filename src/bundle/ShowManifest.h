#pragma once
// show.json, the list a show file carries of itself: what each member is
// (its path, size and SHA-256), which one is the script, and which one, if
// any, is the disc's CUE sheet. Nothing in a show file is used unless it
// matches this list exactly, and the list itself is checked before it is
// believed: it comes from someone else.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quilo {

inline constexpr const char* kManifestName = "show.json";
inline constexpr int kShowFormatVersion = 1;

// Caps a show file must keep whatever its list says: a disc's FLAC is under
// 1 GB and a show's photos a few GB; the list names a few thousand files.
inline constexpr std::uint64_t kMaxMemberBytes = std::uint64_t{4} << 30;
inline constexpr std::uint64_t kMaxShowBytes = std::uint64_t{32} << 30;
inline constexpr std::size_t kMaxMembers = 10000;
inline constexpr std::size_t kMaxManifestBytes = 4u << 20;

struct BundleMember {
    std::string path;  // under the show's folder, '/' between folders
    std::uint64_t size = 0;
    std::string sha256;  // 64 lower-case hex digits
    bool operator==(const BundleMember&) const = default;
};

struct ShowManifest {
    int version = kShowFormatVersion;
    std::string title;
    std::string script;  // the member the player starts
    std::string disc;    // the music's CUE sheet member; empty when the music is not inside
    std::vector<BundleMember> members;

    const BundleMember* find(std::string_view path) const;
    std::uint64_t totalBytes() const;
    bool operator==(const ShowManifest&) const = default;
};

std::string manifestJson(const ShowManifest& manifest);

// The list, or nothing with `error` saying in Italian what is wrong with it:
// not JSON, a newer format, a member named unsafely or twice (letter case
// aside), a size over the caps, a hash that is not one, a script or disc
// that is not among the members.
std::optional<ShowManifest> parseManifest(std::string_view json, std::string& error);

}  // namespace quilo
