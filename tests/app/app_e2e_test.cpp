// The whole program under the offscreen platform: the demo's drive-C tree, the
// generated demo disc, and virtual time stepped by the test. Everything goes
// through the real views: list selections, button clicks, mouse presses.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>
#include <QUrl>
#include <filesystem>

#include "app/Stepper.h"
#include "support/CommandFakes.h"
#include "support/Harness.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using namespace quilo::testing;
namespace fs = std::filesystem;

class AppTest : public ::testing::Test {
  protected:
    AppTest() {
        fs::copy(fs::path(QUILO_SOURCE_DIR) / "demo", root.path(), fs::copy_options::recursive);
        options.root = root.path().string();
        options.disc = (fs::path(QUILO_BINARY_DIR) / "demo" / "demo.cue").string();
        options.settingsFile = (root.path() / "impostazioni.ini").string();
        stepper = std::make_unique<Stepper>(options, messages, exit, sound, &warnings);
    }
    QuiloApp& app() { return stepper->app(); }
    void chooseFile(const std::string& name) {
        const auto& files = app().chooserModel().files;
        const auto at = std::find(files.begin(), files.end(), name);
        ASSERT_NE(at, files.end()) << name;
        app().chooserView().fileList()->setCurrentRow(static_cast<int>(at - files.begin()));
    }
    void click(QAbstractButton* button) {
        ASSERT_TRUE(button->isEnabled());
        button->click();
        stepper->step();
    }
    // Chooses the demo, presses "Lettore" and Play, and lets it play to 1:00:02.
    void playDemo() {
        ASSERT_FALSE(app().start());
        chooseFile("demo.txt");
        click(app().chooserView().lettoreButton());
        click(app().panelView().buttonBar().button(ButtonBar::Play));
        ASSERT_TRUE(stepper->stepUntil(1, 0, 2));
    }

    TempDir root;
    AppOptions options;
    RecordingMessages messages;
    RecordingExit exit;
    RecordingSound sound;
    RecordingWarnings warnings;
    std::unique_ptr<Stepper> stepper;
};

TEST_F(AppTest, StartsOnTheChooserWithTheDiscReadAndThePanelHidden) {
    ASSERT_FALSE(app().start());
    EXPECT_TRUE(app().chooserView().isVisible());
    EXPECT_FALSE(app().panelView().isVisible());
    EXPECT_FALSE(app().displayView().isVisible());
    EXPECT_EQ(app().panelView().box(1)->text(), "1");
    EXPECT_EQ(app().panelView().box(2)->text(), "0");
    EXPECT_NE(app().panelView().box(7)->text(), "0");
    EXPECT_EQ(app().chooserView().fileList()->count(), 1);
    EXPECT_EQ(app().chooserView().fileList()->item(0)->text(), "demo.txt");
}

TEST_F(AppTest, RefusesWhatLettoreCannotStart) {
    ASSERT_FALSE(app().start());
    click(app().chooserView().lettoreButton());
    EXPECT_EQ(app().panelView().box(6)->text(), "c:\\allegato\\nuovo.txt");
    click(app().chooserView().lettoreButton());  // the default script does not exist
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "Impossibile leggere il copione: c:\\allegato\\nuovo.txt");
    EXPECT_TRUE(app().chooserView().isVisible());

    root.write("Allegato/MAIUSCOLO.TXT", "01:00:01x12C\r\n**\r\n");
    app().chooserView().folderList()->itemActivated(
        app().chooserView().folderList()->currentItem());
    stepper->step();
    chooseFile("MAIUSCOLO.TXT");
    click(app().chooserView().lettoreButton());
    EXPECT_EQ(messages.shown.size(), 1u);  // refused without a word
    EXPECT_TRUE(app().chooserView().lettoreButton()->isEnabled());
    EXPECT_FALSE(app().displayView().isVisible());
}

TEST_F(AppTest, PlaysTheDemoThroughTheViews) {
    ASSERT_FALSE(app().start());
    chooseFile("demo.txt");
    stepper->step();
    EXPECT_EQ(app().panelView().box(6)->text(), "C:\\Allegato\\demo.txt");
    // Another path typed into the panel; a click on the highlighted file takes it back.
    app().presentation().player().setText6("C:\\Allegato\\altro.txt");
    QListWidget* files = app().chooserView().fileList();
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->currentItem()).center());
    stepper->step();
    EXPECT_EQ(app().panelView().box(6)->text(), "C:\\Allegato\\demo.txt");
    click(app().chooserView().lettoreButton());
    EXPECT_FALSE(app().chooserView().isVisible());
    EXPECT_TRUE(app().displayView().isVisible());
    EXPECT_TRUE(app().panelView().isVisible());
    EXPECT_EQ(app().cd().mode(), CdMode::Stopped);  // nothing plays before Play
    EXPECT_EQ(app().testo1().ImgEdit[3].source, "mare.png");

    click(app().panelView().buttonBar().button(ButtonBar::Play));
    EXPECT_FALSE(app().panelView().isVisible());
    ASSERT_TRUE(stepper->stepUntil(1, 0, 2));
    EXPECT_EQ(app().testo1().Label2[0].caption, "Benvenuti a Quilo");
    ASSERT_TRUE(stepper->stepUntil(1, 0, 7));
    EXPECT_EQ(sound.played.size(), 1u);
    ASSERT_TRUE(stepper->stepUntil(1, 0, 11));
    EXPECT_EQ(app().testo1().ImgEdit[1].source, "alba.png");
    EXPECT_TRUE(app().testo1().ImgEdit[1].visible);
    EXPECT_TRUE(app().testo1().Text1.visible);
    EXPECT_EQ(app().panelView().box(3)->text(), "11");

    QTest::mouseClick(&app().displayView(), Qt::LeftButton);
    stepper->step();
    EXPECT_TRUE(app().panelView().isVisible());
    EXPECT_EQ(app().cd().mode(), CdMode::Playing);  // a press changes nothing else

    click(app().panelView().allegatoButton());
    EXPECT_TRUE(app().chooserView().isVisible());
    EXPECT_EQ(app().cd().mode(), CdMode::Stopped);
    EXPECT_EQ(app().testo1().Label2[0].caption, " ");
}

TEST_F(AppTest, EndsThePresentationWhenTheDiscIsEjected) {
    ASSERT_NO_FATAL_FAILURE(playDemo());
    ASSERT_TRUE(stepper->stepUntil(1, 0, 3));
    QTest::mouseClick(&app().displayView(), Qt::LeftButton);
    stepper->step();
    click(app().panelView().buttonBar().button(ButtonBar::Eject));
    EXPECT_EQ(app().state().presentationActive, 0);
    EXPECT_FALSE(app().clock().enabled);
    EXPECT_EQ(app().panelView().box(7)->text(), "0");
    EXPECT_EQ(app().testo1().Label2[0].caption, " ");
    click(app().panelView().buttonBar().button(
        ButtonBar::Eject));  // the tray closes: the disc is back
    EXPECT_NE(app().panelView().box(7)->text(), "0");
}

TEST_F(AppTest, StartsAgainFromTheFirstTrackAfterAShowPlayedToItsEnd) {
    ASSERT_NO_FATAL_FAILURE(playDemo());
    QTest::mouseClick(&app().displayView(), Qt::LeftButton);
    stepper->step();
    click(app().panelView().buttonBar().button(ButtonBar::Next));
    click(app().panelView().buttonBar().button(ButtonBar::Next));
    stepper->stepFor(3000);
    const std::int32_t end = app().cd().heardSector();
    for (int i = 0; i < 200 && app().cd().mode() == CdMode::Playing; ++i) stepper->stepFor(1000);
    ASSERT_NE(app().cd().mode(), CdMode::Playing);
    ASSERT_GT(app().cd().heardSector(), end);

    QTest::mouseClick(&app().displayView(), Qt::LeftButton);
    stepper->step();
    click(app().panelView().allegatoButton());
    chooseFile("demo.txt");
    click(app().chooserView().lettoreButton());
    EXPECT_EQ(app().panelView().box(1)->text(), "1");
    EXPECT_EQ(app().panelView().box(2)->text(), "0");
    EXPECT_EQ(app().panelView().box(3)->text(), "0");
    click(app().panelView().buttonBar().button(ButtonBar::Play));
    ASSERT_TRUE(stepper->stepUntil(1, 0, 2));
    EXPECT_EQ(app().testo1().Label2[0].caption, "Benvenuti a Quilo");
}

TEST_F(AppTest, ClosingTheDisplayReturnsToTheChooserAndHidesIt) {
    ASSERT_NO_FATAL_FAILURE(playDemo());
    app().displayView().close();
    stepper->step();
    EXPECT_FALSE(app().displayView().isVisible());
    EXPECT_TRUE(app().chooserView().isVisible());
    EXPECT_EQ(app().cd().mode(), CdMode::Stopped);
    EXPECT_EQ(app().testo1().Label2[0].caption, " ");
}

TEST_F(AppTest, SaysOnThePanelWhyTheDiscCannotBePlayed) {
    options.disc = root.write("broken.cue", "FILE \"nowhere.bin\" BINARY\n").string();
    stepper = std::make_unique<Stepper>(options, messages, exit, sound, &warnings);
    ASSERT_FALSE(app().start());
    chooseFile("demo.txt");
    click(app().chooserView().lettoreButton());
    EXPECT_TRUE(app().panelView().statusLine()->isVisible());
    EXPECT_TRUE(app().panelView().statusLine()->text().startsWith("Impossibile aprire il disco"))
        << app().panelView().statusLine()->text().toStdString();
    EXPECT_EQ(app().panelView().box(7)->text(), "0");
    // Said once on the terminal too, however often the disc is tried.
    ASSERT_EQ(warnings.messages.size(), 1u);
    EXPECT_EQ(QString::fromStdString(warnings.messages[0]), app().panelView().statusLine()->text());
}

TEST_F(AppTest, StartsANamedScriptStraightAwayFromWhereItIsAskedFullScreen) {
    options.script = (root.path() / "Allegato" / "demo.txt").string();
    options.from = CdPosition{1, 0, 21, 0};
    stepper = std::make_unique<Stepper>(options, messages, exit, sound, &warnings);
    ASSERT_FALSE(app().start());
    stepper->step();
    EXPECT_FALSE(app().chooserView().isVisible());
    EXPECT_FALSE(app().panelView().isVisible());
    EXPECT_TRUE(app().displayView().isFullScreen());
    EXPECT_EQ(app().cd().mode(), CdMode::Playing);
    EXPECT_EQ(CdPosition::unpack(app().cd().position()).seconds, 21);
    // As at 0:21 of a show played from its start: the last lines and picture.
    EXPECT_EQ(app().testo1().Label1[0].caption, " ");
    EXPECT_EQ(app().state().pictureFile, "collina.png");
    EXPECT_EQ(app().testo1().ImgEdit[2].source, "collina.png");
    EXPECT_TRUE(sound.played.empty());  // the bell at 0:06 is not rung on the way
    ASSERT_TRUE(stepper->stepUntil(1, 0, 33));
    EXPECT_EQ(app().state().pictureFile, "torre.png");

    // The scripts remembered: the next run's chooser opens on it.
    stepper = std::make_unique<Stepper>(
        AppOptions{options.root, options.disc, 0, -1, "", std::nullopt, options.settingsFile},
        messages, exit, sound, &warnings);
    ASSERT_FALSE(app().start());
    EXPECT_EQ(app().panelView().box(6)->text(), "C:\\Allegato\\demo.txt");
    EXPECT_EQ(app().chooserView().fileList()->currentRow(), 0);

    // A name "Lettore" would not open: the chooser stays, and says why.
    options.script = root.write("Allegato/GRANDE.TXT", "01:00:01x12C\r\n**\r\n").string();
    stepper = std::make_unique<Stepper>(options, messages, exit, sound, &warnings);
    ASSERT_FALSE(app().start());
    EXPECT_TRUE(app().chooserView().isVisible());
    ASSERT_FALSE(warnings.messages.empty());
    EXPECT_NE(warnings.messages.back().find("rinominarlo in GRANDE.txt"), std::string::npos);
}

TEST_F(AppTest, MovesTheShowWithTheOperatorsKeys) {
    ASSERT_NO_FATAL_FAILURE(playDemo());
    const auto press = [&](int key) {
        QTest::keyClick(&app().displayView(), static_cast<Qt::Key>(key));
        stepper->step();
        return CdPosition::unpack(app().cd().position());
    };
    EXPECT_EQ(press(Qt::Key_Right).seconds, 4);  // the next cue
    EXPECT_EQ(app().testo1().Label2[0].caption, "Una presentazione a tempo di musica");
    EXPECT_EQ(press(Qt::Key_PageDown).seconds, 6);
    EXPECT_EQ(press(Qt::Key_PageDown).seconds, 8);
    ASSERT_TRUE(stepper->stepUntil(1, 0, 9));
    EXPECT_EQ(press(Qt::Key_Left).seconds, 8);  // back to the start of this cue
    EXPECT_EQ(press(Qt::Key_Left).seconds, 6);  // again within a second: one further
    EXPECT_EQ(press(Qt::Key_Home).seconds, 1);
    EXPECT_EQ(app().testo1().Label2[0].caption, "Benvenuti a Quilo");

    press(Qt::Key_Space);
    EXPECT_EQ(app().cd().mode(), CdMode::Paused);
    press(Qt::Key_Space);
    EXPECT_EQ(app().cd().mode(), CdMode::Playing);
    press(Qt::Key_F11);
    EXPECT_TRUE(app().displayView().isFullScreen());
    press(Qt::Key_F);
    EXPECT_FALSE(app().displayView().isFullScreen());
    press(Qt::Key_Escape);
    EXPECT_TRUE(app().panelView().isVisible());
    QTest::keyClick(&app().panelView(), Qt::Key_PageDown);  // the panel passes them on
    stepper->step();
    EXPECT_EQ(CdPosition::unpack(app().cd().position()).seconds, 4);
}

// The remote's calls move the real show as the keys do, with its key only.
TEST_F(AppTest, RunsTheShowFromTheRemoteWithItsKeyOnly) {
    options.remotePort = 0;  // any free port
    stepper = std::make_unique<Stepper>(options, messages, exit, sound, &warnings);
    ASSERT_NO_FATAL_FAILURE(playDemo());
    const QUrl address(app().remote().address());
    ASSERT_TRUE(address.isValid()) << app().remote().address().toStdString();
    const QByteArray key = address.query().toUtf8();  // "t=..."
    const auto call = [&](const QByteArray& head, const QByteArray& body = {}) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(address.port()));
        socket.waitForConnected(2000);
        socket.write(head + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
                     body);
        QByteArray reply;
        while (socket.waitForReadyRead(2000)) reply += socket.readAll();
        stepper->step();  // the command runs on the show's thread
        return reply;
    };
    const QByteArray next = R"({"cmd":"next-cue"})";
    EXPECT_TRUE(call("POST /api/command HTTP/1.1\r\n", next).startsWith("HTTP/1.1 403"));
    EXPECT_EQ(CdPosition::unpack(app().cd().position()).seconds, 2);
    EXPECT_TRUE(
        call("POST /api/command?" + key + " HTTP/1.1\r\n", next).startsWith("HTTP/1.1 204"));
    EXPECT_EQ(CdPosition::unpack(app().cd().position()).seconds, 4);
    call("POST /api/command?" + key + " HTTP/1.1\r\n", R"({"cmd":"goto","at":"01:00:20"})");
    EXPECT_EQ(CdPosition::unpack(app().cd().position()).seconds, 20);
    const QByteArray state = call("GET /api/state?" + key + " HTTP/1.1\r\n");
    EXPECT_NE(
        state.indexOf(R"("current":{"at":"01:00:20","kind":"picture","letter":"A","line":16)"), -1)
        << state.constData();
}

TEST_F(AppTest, ReloadsTheScriptWhenItIsSavedAndKeepsPlayingTheOldOneIfTheNewIsRefused) {
    ASSERT_NO_FATAL_FAILURE(playDemo());
    const auto save = [&](const std::string& text) {
        root.write("Allegato/demo.txt", text);
        for (int i = 0; i < 40; ++i) {
            QTest::qWait(10);
            stepper->step();
        }
    };
    save("01:00:01Nuovo inizio12C\r\n01:00:02Cambiato mentre suona12C\r\n**\r\n");
    EXPECT_EQ(app().cd().mode(), CdMode::Playing);
    EXPECT_EQ(app().testo1().Label2[0].caption, "Cambiato mentre suona");
    save("01:00:01senza fine12C\r\n");
    EXPECT_EQ(app().cd().mode(), CdMode::Playing);
    EXPECT_EQ(app().testo1().Label2[0].caption, "Cambiato mentre suona");
    // The reason first, short enough for the panel; the whole refusal on the terminal.
    EXPECT_EQ(app().panelView().statusLine()->text(),
              "Copione non ricaricato: non termina con una riga \"**\"; continua il precedente");
    EXPECT_EQ(warnings.messages.size(), 1u);
}

TEST_F(AppTest, QuitsFromTheChooserAndFromThePanel) {
    ASSERT_FALSE(app().start());
    click(app().chooserView().quitButton());
    app().panelView().close();
    EXPECT_EQ(exit.quits, 2);
}

}  // namespace
}  // namespace quilo
