#include "studio/io/RecoveryCopy.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "shared/RegularFile.h"
#include "studio/io/SafeWrite.h"

namespace quilo {
namespace {

// The copy starts with this line and the script's path, so that a copy is
// never taken for another script's.
constexpr const char* kMagic = "quilo-ripristino 1\n";

std::string nameFor(const std::string& script) {
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a: stable across builds
    for (unsigned char c : script) hash = (hash ^ c) * 1099511628211ull;
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.txt", static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace

RecoveryCopy::RecoveryCopy(std::string folder, std::string script, std::size_t limit)
    : file_((std::filesystem::path(folder) / nameFor(script)).string()),
      script_(std::move(script)),
      limit_(limit) {}

std::optional<std::string> RecoveryCopy::write(const std::string& bytes) const {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), ec);
    return writeReplacing(file_, kMagic + script_ + "\n" + bytes, false);
}

std::optional<std::string> RecoveryCopy::read() const {
    std::string bytes;
    const std::string head = kMagic + script_ + "\n";
    if (readRegularFile(file_, limit_ + head.size(), bytes) != FileProblem::None) return {};
    if (bytes.compare(0, head.size(), head) != 0) return {};
    return bytes.substr(head.size());
}

void RecoveryCopy::discard() const {
    std::error_code ec;
    std::filesystem::remove(file_, ec);
}

std::string RecoveryCopy::defaultFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    const std::filesystem::path base =
        state && *state ? std::filesystem::path(state)
                        : std::filesystem::path(home ? home : "/") / ".local" / "state";
    return (base / "quilo" / "ripristino").string();
}

}  // namespace quilo
