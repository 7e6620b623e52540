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

    const auto gone = (dir.path() / "cartella" / "s.txt").string();
    EXPECT_EQ(writeReplacing(gone, "x", true), "la cartella non esiste");
}

}  // namespace
}  // namespace quilo
