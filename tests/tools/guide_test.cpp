// The script guide tells the truth about the program: its table of sizes is
// the one the fitting rules make, its example scripts check as it says, every
// timed line it shows comes from one of them, and its pictures are what the
// storyboard paints for its example show.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "display/view/DisplayView.h"
#include "display/view/QtPictureProber.h"
#include "presentation/PlayCheck.h"
#include "script/ScriptChecker.h"
#include "script/SizeTable.h"
#include "support/TempDir.h"
#include "tools/DecodingSoundCheck.h"
#include "tools/export/Storyboard.h"

namespace quilo {
namespace {

namespace fs = std::filesystem;
const fs::path kTop = QUILO_SOURCE_DIR;
const fs::path kExamples = kTop / "docs" / "copione";
const std::string kDemoRoot = (kTop / "demo").string();

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const std::string& guide() {
    static const std::string text = readText(kTop / "docs" / "copione.md");
    return text;
}

// What quilo-check prints for an example, named as the guide names it, with
// no disc given.
std::string checkOutput(const std::string& name) {
    const std::string path = (kExamples / name).string();
    QtPictureProber pictures;
    DecodingSoundCheck sounds;
    return formatReport(name, checkScriptFully(path, kDemoRoot, pictures, sounds)) +
           uncheckedDiscNote(name);
}

TEST(Guide, ShowsTheSizeTableTheFittingRulesMake) {
    const std::string start =
        "<!-- tabella generata da quilo-guide-table: non modificarla a mano -->\n";
    const auto from = guide().find(start);
    const auto to = guide().find("<!-- fine della tabella -->");
    ASSERT_NE(from, std::string::npos);
    ASSERT_NE(to, std::string::npos);
    EXPECT_EQ(guide().substr(from + start.size(), to - from - start.size()), largestPictureTable())
        << "run scripts/guide-pictures";
}

TEST(Guide, QuotesTheCheckersOutputAsItPrintsAndItsExampleShowIsClean) {
    const std::regex marker("<!-- uscita di: quilo-check ([a-z]+\\.txt) -->\n```\n");
    int quoted = 0;
    for (std::sregex_iterator it(guide().begin(), guide().end(), marker), end; it != end; ++it) {
        const auto body = static_cast<std::size_t>(it->position() + it->length());
        const std::string shown = guide().substr(body, guide().find("```", body) - body);
        EXPECT_EQ(shown, checkOutput((*it)[1])) << (*it)[1];
        ++quoted;
    }
    EXPECT_GE(quoted, 1);
    EXPECT_EQ(checkOutput("mostra.txt"),
              "mostra.txt: 0 errori, 0 avvisi\n" + uncheckedDiscNote("mostra.txt"));
}

TEST(Guide, ShowsOnlyTimedLinesItsExampleScriptsHold) {
    std::string examples;
    for (const char* name : {"mostra.txt", "errori.txt", "primo.txt"})
        examples += readText(kExamples / name);
    const std::regex timed("^\\d\\d:\\d\\d:\\d\\d.*$");
    std::istringstream lines(guide());
    bool inBlock = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("```", 0) == 0) {
            inBlock = !inBlock && line == "```";
            continue;
        }
        if (inBlock && std::regex_match(line, timed))
            EXPECT_NE(examples.find(line + "\r\n"), std::string::npos) << line;
    }
}

TEST(Guide, ShowsThePicturesTheStoryboardPaintsForItsExampleShow) {
    installFontSubstitutes();
    testing::TempDir out;
    Storyboard board(QString::fromStdString(out.path().string()), QSize(480, 360));
    SimOptions options;
    options.script = (kExamples / "mostra.txt").string();
    options.root = kDemoRoot;
    options.trackSectors = {120 * 75};
    options.onCue = [&](const CueReport& cue) { board.add(cue); };
    QtPictureProber pictures;
    DecodingSoundCheck sounds;
    std::ostringstream json, err;
    ASSERT_EQ(Simulation(options, pictures, sounds, json, err).run(), 0) << err.str();

    std::ifstream figures(kExamples / "figure.txt");
    int cue = 0;
    std::string name;
    int compared = 0;
    while (figures >> cue >> name) {
        char painted[32];
        std::snprintf(painted, sizeof painted, "cue-%04d.png", cue);
        const QImage now(QString::fromStdString((out.path() / painted).string()));
        const QImage shown(QString::fromStdString((kExamples / (name + ".png")).string()));
        ASSERT_EQ(now.size(), shown.size()) << name;
        // Text may be antialiased a shade apart; anything more is a change.
        int differing = 0;
        for (int y = 0; y < now.height(); ++y) {
            for (int x = 0; x < now.width(); ++x) {
                const QColor a = now.pixelColor(x, y), b = shown.pixelColor(x, y);
                differing += std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                                 std::abs(a.blue() - b.blue()) >
                             48;
            }
        }
        EXPECT_LT(differing, now.width() * now.height() / 500)
            << name << ": run scripts/guide-pictures";
        ++compared;
    }
    EXPECT_EQ(compared, 16);
}

}  // namespace
}  // namespace quilo
