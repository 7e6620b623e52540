#pragma once
// The demo installed with the programs (../share/quilo beside them): the
// tree a first run copies to make the user's drive C:, and the CD image the
// player and the studio play when no disc was named and there is no drive.

#include <filesystem>
#include <optional>

namespace quilo {

struct InstalledDemo {
    std::filesystem::path root;  // the demo's drive C: tree
    std::filesystem::path disc;  // its CD image; empty when not installed
};

// The demo installed beside `programDir`, if any.
inline std::optional<InstalledDemo> findInstalledDemo(const std::filesystem::path& programDir) {
    namespace fs = std::filesystem;
    const fs::path share = programDir / ".." / "share" / "quilo";
    std::error_code ec;
    if (!fs::is_regular_file(share / "demo" / "Quilo 1.0" / "colori.txt", ec)) return std::nullopt;
    InstalledDemo demo{fs::weakly_canonical(share / "demo", ec), {}};
    if (fs::is_regular_file(share / "disco" / "demo.cue", ec))
        demo.disc = fs::weakly_canonical(share / "disco" / "demo.cue", ec);
    return demo;
}

}  // namespace quilo
