// The studio through its composition root, with the window offscreen: its
// preview is the show as the storyboard paints it, a tap gives the second
// heard, and a script the player refuses opens all the same.
#include "studio/app/StudioApp.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bundle/io/ShowPacker.h"
#include "cd/ClickDisc.h"
#include "cd/ManualAudioOutput.h"
#include "display/view/QtPictureProber.h"
#include "studio/app/StudioCommandLine.h"
#include "support/TempDir.h"
#include "tools/DecodingSoundCheck.h"
#include "tools/export/Storyboard.h"

namespace quilo {
namespace {

namespace fs = std::filesystem;
const fs::path kTop = QUILO_SOURCE_DIR;

// The demo's drive C: copied, so that the studio may write in it.
struct DemoRoot {
    testing::TempDir dir;
    DemoRoot() {
        fs::copy(kTop / "demo", dir.path(), fs::copy_options::recursive);
        fs::copy(kTop / "docs/copione/mostra.txt", dir.path() / "Allegato" / "mostra.txt");
    }
    std::string root() const { return dir.path().string(); }
    std::string script() const { return (dir.path() / "Allegato" / "mostra.txt").string(); }
};

TEST(StudioApp, PreviewsTheShowAsTheStoryboardPaintsItAtEachCue) {
    installFontSubstitutes();
    DemoRoot demo;
    // The storyboard of the show, 480 x 360.
    testing::TempDir board;
    Storyboard storyboard(QString::fromStdString(board.path().string()), QSize(480, 360));
    SimOptions sim;
    sim.script = demo.script();
    sim.root = demo.root();
    sim.trackSectors = {120 * 75};
    std::vector<std::string> positions;
    sim.onCue = [&](const CueReport& cue) {
        storyboard.add(cue);
        positions.push_back(cue.position);
    };
    QtPictureProber pictures;
    DecodingSoundCheck sounds;
    std::ostringstream json, err;
    ASSERT_EQ(Simulation(sim, pictures, sounds, json, err).run(), 0) << err.str();

    ManualAudioOutput silent;
    StudioApp studio({demo.script(), demo.root(), "", {120}, &silent});
    studio.start();
    DisplayView& preview = studio.window().preview();
    preview.setFixedSize(480, 360);
    // Cues 7 (a slide), 12 (a text column) and 19 (the right third), each the
    // only cue of its second: chosen in the list, the show is caught up there.
    for (int cue : {7, 12, 19}) {
        const CdPosition at = {1, std::stoi(positions[cue - 1].substr(3, 2)),
                               std::stoi(positions[cue - 1].substr(6, 2)), 0};
        studio.window().timeline().onSeek(75 * (at.minutes * 60 + at.seconds));
        char name[32];
        std::snprintf(name, sizeof name, "cue-%04d.png", cue);
        const QImage painted(QString::fromStdString((board.path() / name).string()));
        const QImage shown = preview.grab().toImage().convertToFormat(painted.format());
        EXPECT_EQ(shown, painted) << "cue " << cue << " at " << positions[cue - 1];
    }
}

TEST(StudioApp, GivesATapTheSecondOfTheClickJustHeard) {
    if (std::getenv("PULSE_SERVER") == nullptr) GTEST_SKIP() << "no sound server";
    DemoRoot demo;
    StudioOptions options{demo.script(), demo.root(), "", {}, nullptr};
    options.openDisc = [] { return std::make_unique<ClickDisc>(30); };
    StudioApp studio(options);
    studio.start();
    std::vector<int> cues;  // the list's cue lines, to tap one after another
    const auto texts = [&] {
        std::vector<std::string> t;
        for (const DocumentLine& l : studio.document().lines()) t.push_back(l.text);
        return t;
    };
    studio.window().actions.home();
    studio.window().actions.playPause();
    // Each tap lands 0 to 50 ms after a click is heard.
    QElapsedTimer clock;
    clock.start();
    for (int k = 0; k < 5; ++k) {
        const int second = 2 + k;
        const int after = k * 12;  // ms after the click
        const std::int32_t onset = second * 75;
        while (studio.cd().heardSector() < onset + after * 75 / 1000 && clock.elapsed() < 20000)
            QTest::qWait(1);
        const int row = studio.window().selectedRow();
        studio.window().actions.tap();
        EXPECT_EQ(texts()[std::size_t(row)].substr(0, 8), "01:00:0" + std::to_string(second))
            << "tap " << k;
    }
    studio.window().actions.playPause();
}

TEST(StudioApp, OpensAScriptThePlayerRefusesAndPlaysItOnceMended) {
    DemoRoot demo;
    const std::string script = (demo.dir.path() / "Allegato" / "aperto.txt").string();
    demo.dir.write("Allegato/aperto.txt", "01:00:01Senza fine12C\r\n01:00:03Ancora14C\r\n");
    ManualAudioOutput silent;
    StudioApp studio({script, demo.root(), "", {}, &silent});
    studio.start();
    EXPECT_EQ(studio.window().lines().rowCount(), 2);
    EXPECT_FALSE(studio.core().clock().enabled);
    // Without a disc the timeline follows the script's own seconds.
    EXPECT_EQ(studio.cd().tracks(), 1);
    studio.setLine(1, "**");
    QTest::qWait(0);  // the show takes the edit once the list has it
    EXPECT_TRUE(studio.core().clock().enabled);
    EXPECT_EQ(studio.document().bytes(), "01:00:01Senza fine12C\r\n**\r\n");
    studio.undoStack().undo();
    EXPECT_EQ(studio.document().bytes(), "01:00:01Senza fine12C\r\n01:00:03Ancora14C\r\n");

    // Line ends mixed: the lines a lone LF ran together say so on their row.
    demo.dir.write("Allegato/misto.txt", "01:00:01Uno12C\r\n01:00:02Due12C\n**\n");
    StudioApp mixed(
        {(demo.dir.path() / "Allegato" / "misto.txt").string(), demo.root(), "", {}, &silent});
    mixed.start();
    ASSERT_EQ(mixed.window().lines().rowCount(), 2);
    EXPECT_TRUE(mixed.window().lines().rows()[0].findings.isEmpty());
    EXPECT_TRUE(mixed.window().lines().rows()[1].findings.contains(QStringLiteral("solo LF")));

    // What the checker finds by playing, and against the disc, on each row.
    demo.dir.write("Allegato/ordine.txt",
                   "01:00:10Primo12C\r\n01:01:50Secondo12C\r\n01:00:40Mai12C\r\n"
                   "01:02:05Oltre12C\r\n**\r\n");
    StudioApp ordered(
        {(demo.dir.path() / "Allegato" / "ordine.txt").string(), demo.root(), "", {120}, &silent});
    ordered.start();
    const auto findingsOf = [&](int row) { return ordered.window().lines().rows()[row].findings; };
    for (int i = 0; i < 200 && findingsOf(3).isEmpty(); ++i) QTest::qWait(25);
    EXPECT_TRUE(findingsOf(2).contains(QStringLiteral("non verrà mai eseguita")))
        << findingsOf(2).toStdString();
    EXPECT_TRUE(findingsOf(3).contains(QStringLiteral("il brano 1 dura 2:00")))
        << findingsOf(3).toStdString();
}

TEST(StudioApp, SavesAScriptOpenedFromAShowFileBackIntoIt) {
    DemoRoot demo;
    testing::TempDir cache;
    ::setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
    const std::string file = (cache.path() / "mostra.quilo").string();
    PackRequest request{demo.script(), demo.root(), false, {}, file};
    PackReport report;
    std::string error;
    ASSERT_TRUE(packShow(request, report, error)) << error;
    std::string arguments[] = {"quilo-studio", file, "--tracks", "120"};
    char* argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(),
                    arguments[3].data()};
    StudioOptions options;
    ASSERT_FALSE(parseStudioOptions(4, argv, options));
    ManualAudioOutput silent;
    options.audio = &silent;
    StudioApp studio(options);
    studio.start();
    studio.setLine(0, "01:00:01Benvenuti in sala14C");
    ASSERT_TRUE(studio.files().save());
    const auto show = openShowFile(file, error);
    ASSERT_TRUE(show) << error;
    std::ifstream script(show->script, std::ios::binary);
    std::string first;
    std::getline(script, first);
    EXPECT_EQ(first, "01:00:01Benvenuti in sala14C\r");
    EXPECT_TRUE(fs::exists(file + ".bak"));
    ::unsetenv("XDG_CACHE_HOME");
}

// Dragging a marker, a second earlier or later, a new line and a removed
// block: each one step of undo, each undone exactly.
TEST(StudioApp, EditsFromTheTimelineAndTheKeysEachAsOneStepOfUndo) {
    DemoRoot demo;
    ManualAudioOutput silent;
    StudioApp studio({demo.script(), demo.root(), "", {120}, &silent});
    studio.start();
    const std::string original = studio.document().bytes();
    const auto line = [&](int i) { return studio.document().text(i); };
    ASSERT_EQ(line(14), "01:00:10C:\\Allegato\\alba.pngM");
    studio.window().timeline().onMarkerMoved(14, 75 * 12 + 40);  // dropped inside 0:12
    EXPECT_EQ(line(14), "01:00:12C:\\Allegato\\alba.pngM");
    studio.window().selectRow(14);
    studio.window().actions.nudge(-1);
    EXPECT_EQ(line(14), "01:00:11C:\\Allegato\\alba.pngM");
    studio.window().selectRow(12);  // "D" opens a block of two lines
    studio.window().actions.remove();
    EXPECT_EQ(line(12), "01:00:11C:\\Allegato\\alba.pngM");
    studio.window().actions.insert();
    EXPECT_EQ(studio.undoStack().count(), 4);
    for (int i = 0; i < 4; ++i) studio.undoStack().undo();
    EXPECT_EQ(studio.document().bytes(), original);
    EXPECT_TRUE(studio.undoStack().isClean());

    // Several lines at once, each change one step: three cues nudged and
    // dragged together, every later cue of the track shifted, a word
    // replaced in every caption, found again.
    const auto second = [&](int i) { return std::stoi(line(i).substr(6, 2)); };
    const int a = second(8), b = second(9), c = second(14);
    studio.window().selectRows({8, 9, 14});
    studio.window().actions.nudge(1);
    EXPECT_EQ(std::vector<int>({second(8), second(9), second(14)}),
              std::vector<int>({a + 1, b + 1, c + 1}));
    studio.editor().markerMoved(9, {1, 0, b + 3, 0});
    EXPECT_EQ(std::vector<int>({second(8), second(9), second(14)}),
              std::vector<int>({a + 3, b + 3, c + 3}));
    studio.window().selectRow(14);
    const int last = int(studio.editor().lineTexts().size()) - 2;
    const std::string lastBefore = line(last);
    studio.editor().shiftLater(-1);
    EXPECT_EQ(second(14), c + 2);
    EXPECT_EQ(second(8), a + 3);  // before the line: left alone
    EXPECT_NE(line(last), lastBefore);
    EXPECT_GT(studio.editor().replaceText(QStringLiteral("mare"), QStringLiteral("lago")), 0);
    EXPECT_EQ(line(9).substr(8), "Sala prima: il lago01B");
    EXPECT_NE(line(7).find("mare.png"), std::string::npos);  // the header is not text
    studio.window().selectRow(0);
    EXPECT_TRUE(studio.editor().find(QStringLiteral("LAGO")));
    EXPECT_NE(line(studio.window().selectedRow()).find("lago"), std::string::npos);
    EXPECT_EQ(studio.undoStack().count(), 4);
    for (int i = 0; i < 4; ++i) studio.undoStack().undo();
    EXPECT_EQ(studio.document().bytes(), original);
}

}  // namespace
}  // namespace quilo
