#include "studio/io/SafeWrite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

namespace quilo {
namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(SafeWrite, ReplacesTheFileKeepingTheOldOneOnceAndLosesNothingOnFailure) {
    testing::TempDir dir;
    const auto file = dir.write("s.txt", "vecchio");
    EXPECT_FALSE(writeReplacing(file.string(), "nuovo", true));
    EXPECT_EQ(readFile(file), "nuovo");
    EXPECT_EQ(readFile(file.string() + ".bak"), "vecchio");
    EXPECT_FALSE(writeReplacing(file.string(), "ancora", false));
    EXPECT_EQ(readFile(file.string() + ".bak"), "vecchio");  // kept once
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".salvataggio"));

    // A read-only file is refused, untouched; a replaced one keeps its mode.
    namespace fs = std::filesystem;
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(writeReplacing(file.string(), "no", false), "il file è di sola lettura");
    EXPECT_EQ(readFile(file), "ancora");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(writeReplacing(file.string(), "sì", false));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    const auto gone = (dir.path() / "cartella" / "s.txt").string();
    EXPECT_EQ(writeReplacing(gone, "x", true), "la cartella non esiste");
}

}  // namespace
}  // namespace quilo
