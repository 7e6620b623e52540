#include "app/FirstRun.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace quilo {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

// An installed program finds its demo beside it and makes a new user's root
// a copy of it, in one piece or not at all.
TEST(FirstRun, MakesTheRootFromTheInstalledDemoAndNothingHalfMade) {
    TempDir prefix;
    prefix.write("share/quilo/demo/Quilo 1.0/colori.txt", "0\r\n0\r\n64\r\n255\r\n255\r\n0\r\n");
    prefix.write("share/quilo/demo/Allegato/demo.txt", "01:00:01Ciao12C\r\n**\r\n");
    prefix.write("share/quilo/disco/demo.cue", "FILE \"demo.bin\" BINARY\r\n");
    fs::create_directories(prefix.path() / "bin");
    EXPECT_FALSE(findInstalledDemo(prefix.path() / "elsewhere"));
    const auto demo = findInstalledDemo(prefix.path() / "bin");
    ASSERT_TRUE(demo);
    EXPECT_EQ(demo->disc.filename(), "demo.cue");

    TempDir home;
    const fs::path root = home.path() / "Quilo";
    EXPECT_FALSE(createRootFromDemo(root, *demo));
    EXPECT_TRUE(fs::is_regular_file(root / "Quilo 1.0" / "colori.txt"));
    EXPECT_TRUE(fs::is_regular_file(root / "Allegato" / "demo.txt"));
    EXPECT_FALSE(fs::exists(home.path() / "Quilo.in-preparazione"));

    const fs::path blocked = home.path() / "file";
    home.write("file", "x");
    EXPECT_TRUE(createRootFromDemo(blocked / "Quilo", *demo));  // under a file: cannot
    EXPECT_FALSE(fs::exists(blocked.string() + "/Quilo.in-preparazione"));
}

}  // namespace
}  // namespace quilo
