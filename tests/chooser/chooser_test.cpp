#include "chooser/Chooser.h"

#include <gtest/gtest.h>

#include "support/DisplayFakes.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using namespace quilo::testing;

class ChooserTest : public ::testing::Test {
  protected:
    TempDir root;
    ChooserModel model;
    Modulo1 state;
    PanelModel panel;
    PathResolver paths{root.path()};
    RecordingWarnings warnings;
    Chooser chooser{model, state, panel, paths, warnings};
};

TEST_F(ChooserTest, ListsTheScriptsAndShowFilesOfTheFolderWithoutRegardToCase) {
    root.write("Allegato/nuovo.txt", "");
    root.write("Allegato/Sala.QUILO", "");
    root.write("Allegato/Museo.TXT", "");
    root.write("Allegato/foto.png", "");
    root.write("Allegato/sub/inner.txt", "");
    chooser.Drive1_Change(kDataDrive);
    chooser.setDirPath("\\Allegato");
    EXPECT_EQ(model.folder, root.path() / "Allegato");
    EXPECT_EQ(model.files, (std::vector<std::string>{"Museo.TXT", "nuovo.txt", "Sala.QUILO"}));
    EXPECT_EQ(chooser.subfolders(), std::vector<std::string>{"sub"});
    EXPECT_TRUE(warnings.messages.empty());
}

TEST_F(ChooserTest, HandsTheChosenFileOverAsADriveCPathUnderTheRoot) {
    root.write("Allegato/nuovo.txt", "");
    chooser.setDirPath("\\allegato");
    chooser.File1_Click(0);
    EXPECT_EQ(panel.Text6, "C:\\Allegato\\nuovo.txt");
    EXPECT_EQ(state.scriptPath, "C:\\Allegato\\nuovo.txt");
}

TEST_F(ChooserTest, KeepsTheDoubleBackslashOfAFileInTheRootFolder) {
    root.write("show.txt", "");
    chooser.Drive1_Change(kDataDrive);
    chooser.File1_Click(0);
    EXPECT_EQ(panel.Text6, "C:\\\\show.txt");
}

TEST_F(ChooserTest, HandsOverNativePathsOutsideTheRoot) {
    TempDir elsewhere;
    elsewhere.write("altro.txt", "");
    chooser.Drive1_Change(kSystemDrive);
    EXPECT_EQ(model.folder, std::filesystem::path("/"));
    chooser.Dir1_Change(elsewhere.path());
    chooser.File1_Click(0);
    EXPECT_EQ(panel.Text6, (elsewhere.path() / "altro.txt").string());
}

TEST_F(ChooserTest, ChangesNoPathUntilAFileIsSelected) {
    panel.Text6 = "C:\\Allegato\\prima.txt";
    root.write("Vuota/readme.md", "");
    chooser.Dir1_Change(root.path() / "Vuota");
    EXPECT_TRUE(model.files.empty());
    chooser.File1_Click(0);
    chooser.Drive1_Change(kDataDrive);
    EXPECT_EQ(panel.Text6, "C:\\Allegato\\prima.txt");
}

TEST_F(ChooserTest, StandsOnTheDriveRootWithOneWarningWhenTheScriptFolderIsMissing) {
    chooser.Drive1_Change(kDataDrive);
    chooser.setDirPath("\\Allegato");
    EXPECT_EQ(model.folder, root.path());
    ASSERT_EQ(warnings.messages.size(), 1u);
    EXPECT_NE(warnings.messages[0].find("Allegato"), std::string::npos);
}

TEST_F(ChooserTest, SeesNewFilesWhenRefreshed) {
    root.write("Allegato/a.txt", "");
    chooser.setDirPath("\\Allegato");
    root.write("Allegato/b.txt", "");
    chooser.refresh();
    EXPECT_EQ(model.files.size(), 2u);
}

}  // namespace
}  // namespace quilo
