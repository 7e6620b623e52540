#include "app/FirstRun.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "app/Stepper.h"
#include "cd/io/DiscSources.h"
#include "support/CommandFakes.h"
#include "support/Harness.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using namespace quilo::testing;
namespace fs = std::filesystem;

// Without an installed demo there is nothing to offer; a root that cannot be
// made leaves nothing half made behind.
TEST(FirstRun, FindsNoDemoWhereNoneIsAndLeavesNothingHalfMade) {
    TempDir prefix;
    prefix.write("share/quilo/demo/Quilo 1.0/colori.txt", "0\r\n0\r\n64\r\n255\r\n255\r\n0\r\n");
    fs::create_directories(prefix.path() / "bin");
    EXPECT_FALSE(findInstalledDemo(prefix.path() / "elsewhere"));
    const auto demo = findInstalledDemo(prefix.path() / "bin");
    ASSERT_TRUE(demo);
    EXPECT_TRUE(demo->disc.empty());  // no CD image installed

    TempDir home;
    home.write("file", "x");
    const fs::path blocked = home.path() / "file";
    EXPECT_TRUE(createRootFromDemo(blocked / "Quilo", *demo));  // under a file: cannot
    EXPECT_FALSE(fs::exists(blocked.string() + "/Quilo.in-preparazione"));
}

// Answers every message box the program opens: `answer` to a question, OK to
// anything else; keeps what each one said.
class DialogAnswerer {
  public:
    explicit DialogAnswerer(QMessageBox::StandardButton answer) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            said.push_back(box->text());
            for (QAbstractButton* b : box->buttons()) buttons.push_back(b->text());
            QAbstractButton* button = box->button(answer);
            if (!button) button = box->button(QMessageBox::Ok);
            button->click();
        });
        timer_.start();
    }
    QStringList said;
    QStringList buttons;

  private:
    QTimer timer_;
};

// A new user's first start, through the real dialog, in a home of its own:
// "No" explains what is missing and makes nothing; "Sì" makes ~/Quilo from the
// installed demo and the program opens on it, with the demo's own disc.
TEST(FirstRun, OffersTheDemoInADialogAndStartsOnWhatItMade) {
    TempDir prefix;
    fs::create_directories(prefix.path() / "share/quilo/demo");
    fs::copy(fs::path(QUILO_SOURCE_DIR) / "demo", prefix.path() / "share/quilo/demo",
             fs::copy_options::recursive);
    fs::create_directories(prefix.path() / "share/quilo/disco");
    fs::create_directories(prefix.path() / "bin");
    for (const char* name : {"demo.cue", "demo.flac"}) {
        fs::create_symlink(fs::path(QUILO_BINARY_DIR) / "demo" / name,
                           prefix.path() / "share/quilo/disco" / name);
    }
    TempDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(home.path().string()));
    int exitCode = 0;
    auto options = parseOptions({"quilo"}, exitCode);
    qputenv("HOME", oldHome);
    ASSERT_TRUE(options);
    ASSERT_EQ(fs::path(options->root), home.path() / "Quilo");
    options->settingsFile = (home.path() / "impostazioni.ini").string();

    {
        DialogAnswerer no(QMessageBox::No);
        EXPECT_FALSE(offerFirstRun(*options, prefix.path() / "bin"));
        ASSERT_EQ(no.said.size(), 2);
        EXPECT_TRUE(no.said[0].startsWith("La cartella")) << no.said[0].toStdString();
        EXPECT_TRUE(no.said[1].contains("colori.txt")) << no.said[1].toStdString();
    }
    EXPECT_FALSE(fs::exists(options->root));

    DialogAnswerer yes(QMessageBox::Yes);
    EXPECT_TRUE(offerFirstRun(*options, prefix.path() / "bin"));
    EXPECT_EQ(yes.said.size(), 1);
    EXPECT_TRUE(yes.buttons.contains("S\u00EC")) << yes.buttons.join(",").toStdString();
    EXPECT_TRUE(fs::is_regular_file(home.path() / "Quilo/Allegato/demo.txt"));
    EXPECT_FALSE(fs::exists(home.path() / "Quilo.in-preparazione"));
    EXPECT_EQ(fs::path(options->disc),
              fs::weakly_canonical(prefix.path() / "share/quilo/disco/demo.cue"));
    EXPECT_TRUE(offerFirstRun(*options, prefix.path() / "bin"));  // asked only once
    EXPECT_EQ(yes.said.size(), 1);

    RecordingMessages messages;
    RecordingExit exit;
    RecordingSound sound;
    RecordingWarnings warnings;
    Stepper stepper(*options, messages, exit, sound, &warnings);
    ASSERT_FALSE(stepper.app().start());
    EXPECT_EQ(stepper.app().chooserModel().files, std::vector<std::string>{"demo.txt"});
    EXPECT_NE(stepper.app().panelView().box(7)->text(), "0");  // the demo disc is read

    // The next day, no disc named: on a machine without a drive the demo still plays.
    if (hasCdDrive()) return;
    auto later = parseOptions({"quilo", "--root", QString::fromStdString(options->root)}, exitCode);
    ASSERT_TRUE(later);
    later->settingsFile = options->settingsFile;
    EXPECT_TRUE(offerFirstRun(*later, prefix.path() / "bin"));
    EXPECT_TRUE(later->disc.empty());
    Stepper nextDay(*later, messages, exit, sound, &warnings);
    ASSERT_FALSE(nextDay.app().start());
    EXPECT_EQ(nextDay.app().panelView().statusLine()->text(), "");
    EXPECT_NE(nextDay.app().panelView().box(7)->text(), "0");
    EXPECT_EQ(warnings.messages.back(), "Nessuna unit\u00E0 CD: suona il disco della demo");
}

}  // namespace
}  // namespace quilo
