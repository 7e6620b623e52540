// Start-up, "Quit", "Allegato", the presentation start, the clock and the CD
// control's notifications, against the models with fakes at the ports.
#include "presentation/Player.h"

#include <gtest/gtest.h>

#include "support/FakeCdDevice.h"
#include "support/Harness.h"

namespace quilo {
namespace {

using namespace quilo::testing;

class PlayerTest : public ::testing::Test {
  protected:
    PlayerTest() {
        h.root.write("Quilo 1.0/colori.txt", "0\r\n0\r\n64\r\n255\r\n255\r\n0\r\n");
        h.root.write("Allegato/nuovo.txt", "03:00:01Ciao12C\r\n99:00:00sea.bmpV\r\n**\r\n");
        cd.table = {{0x000305, 0x000200}, {0x000400, 0x000802}, {0x000400, 0x000C02}};
        cd.at(1, 0, 0);
    }
    void startUp() { ASSERT_FALSE(h.core.startUp().Form_Load()); }
    void choose(const std::string& path) { h.player.setText6(path); }

    FakeCdDevice cd;
    Harness h{cd};
};

TEST_F(PlayerTest, StartsWithOnlyTheChooserShownAndTheClockOff) {
    h.state.scriptPath.clear();
    startUp();
    EXPECT_FALSE(h.panel.visible);
    EXPECT_FALSE(h.testo1.visible);
    EXPECT_TRUE(h.chooserModel.visible);
    EXPECT_FALSE(h.clock.enabled);
    EXPECT_EQ(h.chooserModel.folder, h.root.path() / "Allegato");
    EXPECT_EQ(h.chooserModel.files, std::vector<std::string>{"nuovo.txt"});
    EXPECT_EQ(cd.commands, std::vector<CdCommand>{CdCommand::Open});
    EXPECT_EQ(cd.timeFormat, 10);
    EXPECT_EQ(h.panel.Text7,
              std::to_string(3 + 0x000305 + 0x000200 + 0x000400 * 2 + 0x000802 + 0x000C02));
    EXPECT_EQ(h.panel.Text1, "1");
    EXPECT_EQ(h.testo1.backColour, (Rgb{0, 0, 64}));
    EXPECT_EQ(h.testo1.Label2[0].fore, (Rgb{255, 255, 0}));
    EXPECT_EQ(h.testo1.Text1.geometry, (Geometry{9000, 7800, 3000, 1100}));
    EXPECT_FALSE(h.testo1.Text1.visible);
    EXPECT_EQ(h.state.lastCueTime, 99);
    EXPECT_EQ(h.state.lastPictureFile, "n");
}

TEST_F(PlayerTest, FailsToStartWithoutTheColourFile) {
    std::filesystem::remove(h.root.path() / "Quilo 1.0" / "colori.txt");
    const auto failure = h.core.startUp().Form_Load();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, "Impossibile leggere il file dei colori: " +
                            (h.root.path() / "Quilo 1.0" / "colori.txt").string() +
                            " (non esiste)");
}

TEST_F(PlayerTest, ProposesTheDefaultScriptWhenNoneIsChosenAndStartsItNextTime) {
    startUp();
    h.player.Command1_Click();
    EXPECT_EQ(h.panel.Text6, "c:\\allegato\\nuovo.txt");
    EXPECT_EQ(h.state.scriptPath, "c:\\allegato\\nuovo.txt");
    EXPECT_TRUE(h.chooserModel.lettoreEnabled);
    EXPECT_FALSE(h.clock.enabled);
    h.player.Command1_Click();
    EXPECT_TRUE(h.clock.enabled);
    EXPECT_EQ(h.state.lineCount, 3);
}

TEST_F(PlayerTest, StartsAPresentationOnItsFirstLinesTrackWithoutPlaying) {
    startUp();
    choose("C:\\Allegato\\nuovo.txt");
    cd.commands.clear();
    h.player.Command1_Click();
    EXPECT_EQ(cd.targets, std::vector<std::int32_t>{3});
    // Only a seek: a playing disc plays on from the track's start, a paused or
    // stopped one stands there (the CD control's own rule).
    EXPECT_EQ(cd.commands, (std::vector<CdCommand>{CdCommand::Seek}));
    EXPECT_TRUE(h.clock.enabled);
    EXPECT_EQ(h.state.presentationActive, 1);
    EXPECT_FALSE(h.chooserModel.visible);
    EXPECT_FALSE(h.chooserModel.lettoreEnabled);
    EXPECT_TRUE(h.testo1.visible);
    EXPECT_TRUE(h.panel.visible);
    EXPECT_EQ(h.windows.raised.back(), Window::Tarvo1);  // the panel in front of the display
    EXPECT_EQ(h.state.headerLines[1], "99:00:00sea.bmpV");
    EXPECT_EQ(h.state.resumeLine, 0);
}

TEST_F(PlayerTest, RefusesUpperCaseTxtAndUnreadableScriptsButClearsTheTables) {
    startUp();
    h.state.scriptLines.assign(0, "old");
    h.root.write("Allegato/GRANDE.TXT", "01:00:01x12C\r\n**\r\n");
    choose("C:\\Allegato\\GRANDE.TXT");
    h.player.Command1_Click();
    EXPECT_EQ(h.state.scriptLines[0], " ");
    EXPECT_TRUE(h.chooserModel.lettoreEnabled);
    EXPECT_FALSE(h.clock.enabled);
    EXPECT_TRUE(h.messages.shown.empty());

    choose("C:\\Allegato\\manca.txt");
    h.player.Command1_Click();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0], "Impossibile leggere il copione: C:\\Allegato\\manca.txt");
    EXPECT_TRUE(h.chooserModel.lettoreEnabled);
    EXPECT_TRUE(h.chooserModel.visible);
    EXPECT_TRUE(cd.targets.empty());
}

TEST_F(PlayerTest, SeeksTrackZeroForAFirstLineStartingWithALetter) {
    startUp();
    h.root.write("Allegato/lettere.txt", "Titolo\r\n**\r\n");
    choose("C:\\Allegato\\lettere.txt");
    h.player.Command1_Click();
    EXPECT_EQ(cd.targets, std::vector<std::int32_t>{0});
}

TEST_F(PlayerTest, ReturnsToTheChooserWithAllegatoKeepingTheClock) {
    startUp();
    choose("C:\\Allegato\\nuovo.txt");
    h.player.Command1_Click();
    h.testo1.Label2[0].caption = "x";
    h.player.Command7_Click();
    EXPECT_EQ(cd.commands.back(), CdCommand::Stop);
    EXPECT_EQ(h.testo1.Label2[0].caption, " ");
    EXPECT_EQ(h.testo1.Label2[0].backStyle, kOpaque);
    EXPECT_TRUE(h.chooserModel.visible);
    EXPECT_TRUE(h.chooserModel.lettoreEnabled);
    EXPECT_TRUE(h.clock.enabled);
    EXPECT_EQ(h.state.presentationActive, 1);
    EXPECT_EQ(h.state.lineCount, 3);
}

TEST_F(PlayerTest, QuitsFromEitherForm) {
    h.player.Command3_Click();
    h.player.Command5_Click();
    EXPECT_EQ(h.exit.quits, 2);
    EXPECT_TRUE(cd.commands.empty());
}

TEST_F(PlayerTest, TicksDoNothingWithoutAScript) {
    for (const char* path : {"", " "}) {
        h.state.scriptPath = path;
        h.panel.Text8 = "untouched";
        h.clock.Timer1_Timer();
        EXPECT_EQ(h.panel.Text8, "untouched");
    }
}

TEST_F(PlayerTest, ShowsSecondsSinceMidnightBeforeAnyPauseAndTheProgressValue) {
    h.state.scriptPath = "x.txt";
    h.seconds.now = 36000.7f;
    h.panel.Text3 = "59";
    h.clock.Timer1_Timer();
    EXPECT_EQ(h.panel.Text8, "36000");
    EXPECT_EQ(h.panel.progress, 59.0f);
}

TEST_F(PlayerTest, EndsAPauseRunningAtMidnightOnTheFirstTickAfterIt) {
    h.state.scriptPath = "x.txt";
    h.state.clockStart = 86399.0f;
    h.state.pauseSeconds = 5;
    h.state.pauseActive = 1;
    h.seconds.now = 0.5f;  // just after midnight: the difference is absolute
    h.clock.Timer1_Timer();
    EXPECT_EQ(h.state.pauseActive, 0);
    EXPECT_EQ(cd.commands, std::vector<CdCommand>{CdCommand::Play});
}

TEST_F(PlayerTest, ReturnsTheDisplayToItsIdleLookWhenACommandCompletes) {
    h.state.presentationActive = 1;
    h.state.pauseActive = 1;
    h.state.pauseSeconds = 9;
    h.state.picturePane = 1;
    h.testo1.ImgEdit[1].visible = true;
    h.testo1.Label1[0].caption = "x";
    h.testo1.Text1.visible = true;
    h.state.lastSoundFile = "a.wav";
    h.core.onCdEvent(CdEvent::Done);
    EXPECT_TRUE(h.clock.enabled);
    EXPECT_EQ(h.state.picturePane, 0);
    EXPECT_FALSE(h.testo1.ImgEdit[1].visible);
    EXPECT_EQ(h.testo1.Label1[0].caption, " ");
    EXPECT_EQ(h.state.lastSoundFile, " ");
    EXPECT_EQ(h.state.pauseSeconds, 0);
    EXPECT_EQ(h.state.pauseActive, 1);  // so the next tick resumes the CD
    EXPECT_FALSE(h.testo1.Text1.visible);
    h.state.presentationActive = 0;
    h.core.onCdEvent(CdEvent::Done);
    EXPECT_FALSE(h.clock.enabled);
}

TEST_F(PlayerTest, HidesThePanelOnceTheUserPlaysAndKeepsTheClockOffBeforeAnyPresentation) {
    h.panel.visible = true;
    h.core.onCdEvent(CdEvent::PlayCompleted);
    EXPECT_FALSE(h.panel.visible);
    EXPECT_FALSE(h.clock.enabled);
}

TEST_F(PlayerTest, EndsThePresentationOnEject) {
    startUp();
    choose("C:\\Allegato\\nuovo.txt");
    h.player.Command1_Click();
    h.state.resumeLine = 2;
    h.testo1.Label2[1].caption = "x";
    h.core.onCdEvent(CdEvent::EjectClick);
    EXPECT_FALSE(h.clock.enabled);
    EXPECT_EQ(h.testo1.Label2[1].caption, " ");
    EXPECT_EQ(h.state.resumeLine, 0);
    cd.table.clear();
    h.core.onCdEvent(CdEvent::EjectCompleted);
    EXPECT_EQ(h.state.presentationActive, 0);
    EXPECT_EQ(h.panel.Text7, "0");
    EXPECT_EQ(h.state.lineCount, 3);  // the table stays
    h.core.onCdEvent(CdEvent::PlayCompleted);
    EXPECT_FALSE(h.clock.enabled);  // no line runs until a new start
}

TEST_F(PlayerTest, ProposesTheDefaultScriptAfterAnEjectWithNoneChosen) {
    h.state.scriptPath.clear();
    h.core.onCdEvent(CdEvent::EjectCompleted);
    EXPECT_EQ(h.panel.Text6, "c:\\allegato\\nuovo.txt");
    EXPECT_EQ(h.state.scriptPath, "c:\\allegato\\nuovo.txt");
}

}  // namespace
}  // namespace quilo
