#include "shared/PathResolver.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace quilo {
namespace {

using testing::TempDir;

TEST(PathResolver, MapsTheDriveToTheRootAndBackslashesToFolders) {
    TempDir root;
    const auto file = root.write("Allegato/nuovo.txt", "x");
    const PathResolver paths(root.path());
    EXPECT_EQ(paths.resolve("C:\\Allegato\\nuovo.txt"), file);
    EXPECT_EQ(paths.resolve("\\Allegato\\nuovo.txt"), file);
}

TEST(PathResolver, MatchesComponentsWithoutRegardToCase) {
    TempDir root;
    const auto file = root.write("Allegato/Foto/Mare.JPG", "x");
    const PathResolver paths(root.path());
    EXPECT_EQ(paths.resolve("c:\\allegato\\FOTO\\mare.jpg"), file);
}

TEST(PathResolver, TakesRelativeNamesFromTheGivenFolder) {
    TempDir root;
    const auto file = root.write("Allegato/img/sea.bmp", "x");
    const PathResolver paths(root.path());
    EXPECT_EQ(paths.resolve("img\\Sea.bmp", root.path() / "Allegato"), file);
}

TEST(PathResolver, KeepsNativeAbsolutePathsThatExist) {
    TempDir elsewhere;
    const auto file = elsewhere.write("a/b.txt", "x");
    const PathResolver paths("/nonexistent-root");
    EXPECT_EQ(paths.resolve(file.string()), file);
}

TEST(PathResolver, KeepsNativeAbsolutePathsToFilesNotMadeYet) {
    TempDir elsewhere;
    const PathResolver paths("/nonexistent-root");
    EXPECT_EQ(paths.resolve((elsewhere.path() / "new.txt").string()), elsewhere.path() / "new.txt");
    EXPECT_EQ(paths.resolve("/"), std::filesystem::path("/nonexistent-root"));
}

TEST(PathResolver, TranslatesLiterallyWhenNothingMatches) {
    TempDir root;
    const PathResolver paths(root.path());
    EXPECT_EQ(paths.resolve("C:\\Missing\\file.txt"), root.path() / "Missing" / "file.txt");
}

}  // namespace
}  // namespace quilo
