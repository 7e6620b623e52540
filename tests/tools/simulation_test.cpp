#include "presentation/Simulation.h"

#include "presentation/PlayCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cd/SilentDisc.h"
#include "support/DisplayFakes.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using namespace quilo::testing;
using nlohmann::json;

class AllPlayable : public SoundCheck {
  public:
    bool playable(const std::string& file) override {
        return file.find("missing") == std::string::npos;
    }
};

class SimulationTest : public ::testing::Test {
  protected:
    SimulationTest() {
        root.write("Quilo 1.0/colori.txt", "0\r\n0\r\n0\r\n255\r\n255\r\n255\r\n");
        prober.sizes = {{"/palco.bmp", {640, 480}}, {"/coro.bmp", {640, 480}}};
    }
    // Runs the script and returns its JSON objects.
    std::vector<json> simulate(const std::string& script,
                               std::vector<std::int32_t> tracks = {75 * 120}) {
        SimOptions options;
        options.script = root.write("Allegato/show.txt", script).string();
        options.root = root.path().string();
        options.trackSectors = std::move(tracks);
        options.until = until;
        std::ostringstream out;
        status = Simulation(options, prober, sounds, out, err).run();
        std::vector<json> objects;
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line);) objects.push_back(json::parse(line));
        return objects;
    }

    TempDir root;
    FakePictureProber prober;
    AllPlayable sounds;
    std::ostringstream err;
    std::optional<std::array<int, 3>> until;
    int status = -1;
};

// A school concert: every kind of cue the report describes, one after another.
const std::string kConcert =
    "01:00:02Concerto di primavera10C\r\n"
    "99 fondo rosso       5\r\n99 fondo verde      20\r\n99 fondo blu        60\r\n"
    "99 testo rosso     255\r\n99 testo verde     255\r\n99 testo blu       255\r\n"
    "99:00:00palco.bmpV\r\n"
    "01:00:04Coro della 3A99C\r\n"
    "01:00:07dirige la maestra12L\r\n"
    "01:00:10coro.bmpM\r\n"
    "01:00:18applausi.wavW\r\n"
    "01:00:22Intervallo breve\r\n"
    "01:00:30Pausa04S\r\nci vediamo\r\ntra pocoP\r\n"
    "01:00:38Secondo tempo+\r\norchestra\r\ne solisti-\r\n"
    "01:00:48Grazie a tutti00E\r\n**\r\n";

TEST_F(SimulationTest, ReportsAShowLineByLine) {
    const auto objects = simulate(kConcert);
    ASSERT_EQ(status, 0) << err.str();
    std::vector<std::string> commands;
    for (const auto& o : objects) {
        if (o.contains("command"))
            commands.push_back(o["line"].dump() + o["command"].get<std::string>());
    }
    EXPECT_EQ(commands, (std::vector<std::string>{"1C", "9C", "10L", "11M", "12W", "13text", "14S",
                                                  "17+", "20E"}));

    const json& first = objects[0];
    EXPECT_EQ(first["ms"], 2000);
    EXPECT_EQ(first["pos"], "01:00:02:00");
    EXPECT_EQ(first["effects"], json::array());
    EXPECT_EQ(first["display"]["back"], "#05143C");
    EXPECT_EQ(first["display"]["Label2"][0]["caption"], "Concerto di primavera");
    EXPECT_EQ(first["display"]["Label2"][0]["fore"], "#00FF00");
    EXPECT_EQ(first["display"]["Label2"][0]["width"], 12160);
    EXPECT_EQ(first["display"]["ImgEdit3"]["source"], "palco.bmp");

    EXPECT_EQ(objects[1]["display"]["Label2"][1]["fore"], "#FFFFFF");
    EXPECT_EQ(objects[2]["display"]["Label1"][0]["caption"], " \r\ndirige la maestra");
    EXPECT_EQ(objects[3]["display"]["ImgEdit1"]["visible"], true);
    EXPECT_EQ(objects[3]["display"]["ImgEdit1"]["top"], 0);
    EXPECT_EQ(objects[4]["effects"], json::array({"sound:applausi.wav"}));
    EXPECT_EQ(objects[6]["effects"], json::array({"pause"}));
    EXPECT_EQ(objects[6]["display"]["Label2"][0]["caption"], "Pausa\r\nci vediamo\r\ntra poco");
    EXPECT_EQ(objects[7]["clock"], "play");
    // Four seconds on the single-precision seconds counter, which near 36000 s moves in 4 ms steps.
    EXPECT_NEAR(objects[7]["ms"].get<int>() - objects[6]["ms"].get<int>(), 4000, 4);
    EXPECT_EQ(objects[7]["pos"], "01:00:30:00");
    EXPECT_EQ(objects[8]["pos"].get<std::string>().substr(0, 8), "01:00:38");
    EXPECT_EQ(objects[8]["ms"].get<int>(), objects[7]["ms"].get<int>() + 8000);
    EXPECT_EQ(objects[9]["effects"], json::array({"stop"}));
    EXPECT_EQ(objects[9]["display"]["Label2"][0]["fore"], "#000000");
    EXPECT_EQ(objects.back()["end"], "stop");
    EXPECT_EQ(objects.back()["ms"].get<int>(), objects[8]["ms"].get<int>() + 10000);
    EXPECT_EQ(objects.back()["pos"], "01:00:48:00");
}

TEST_F(SimulationTest, WritesObjectsWithTheirFieldsInTheContractsOrder) {
    const auto objects = simulate("01:00:01Hi12C\r\n**\r\n");
    ASSERT_FALSE(objects.empty());
    std::vector<std::string> keys;
    for (auto it = objects[0].begin(); it != objects[0].end(); ++it) keys.push_back(it.key());
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys,
              (std::vector<std::string>{"command", "display", "effects", "line", "ms", "pos"}));
    const json& label = objects[0]["display"]["Label1"][0];
    for (const char* field :
         {"caption", "fore", "back", "backStyle", "left", "top", "width", "height", "visible"}) {
        EXPECT_TRUE(label.contains(field)) << field;
    }
}

TEST_F(SimulationTest, EndsAtTheEndOfTheDiscAtAGivenPositionOrAtTheLimit) {
    auto objects = simulate("01:00:01Hi12C\r\n**\r\n", {75 * 3});
    EXPECT_EQ(objects.back()["end"], "disc-end");
    EXPECT_EQ(objects.back()["ms"], 3000);
    until = std::array<int, 3>{1, 0, 2};
    objects = simulate("01:00:01Hi12C\r\n**\r\n");
    EXPECT_EQ(objects.back()["end"], "until");
    EXPECT_EQ(objects.back()["pos"], "01:00:02:00");
}

TEST_F(SimulationTest, ReportsAMessageBoxForASoundThatCannotPlay) {
    const auto objects = simulate("01:00:01missing.wavW\r\n**\r\n", {75 * 3});
    EXPECT_EQ(objects[0]["effects"], json::array({"sound:missing.wav", "message:Error!"}));
}

TEST_F(SimulationTest, RefusesAScriptTheLoaderRefusesAndAMissingColourFile) {
    EXPECT_TRUE(simulate("01:00:01Hi12C\r\n").empty());
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.str().find("non termina con una riga \"**\""), std::string::npos);
    std::filesystem::remove(root.path() / "Quilo 1.0" / "colori.txt");
    simulate("01:00:01Hi12C\r\n**\r\n");
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.str().find("Impossibile leggere il file dei colori"), std::string::npos);
}

// Captions lie under pictures: one that arrives while a picture covers it is
// never seen, wherever on the disc it is; one beside a picture, or after a
// plain caption took the picture away, is. A picture drawn past the edge is
// cut there.
TEST_F(SimulationTest, PlayCheckWarnsOfCaptionsUnderAPictureAndOfPicturesPastTheEdge) {
    prober.sizes["/whole.bmp"] = {2925, 2194};
    const std::string script = root.write("Allegato/show.txt",
                                          "01:00:01Sopra12C\r\n"
                                          "01:00:02palco.bmpM\r\n"        // 2: 4 % past the edge
                                          "01:00:10Sotto la foto12C\r\n"  // 3: hidden
                                          "01:00:12Via la foto\r\n"
                                          "01:00:14Di nuovo sopra12B\r\n"
                                          "02:00:16coro.bmpR\r\n"   // 6: 13 % past the edge
                                          "02:00:30Accanto12C\r\n"  // left of the picture
                                          "02:00:32whole.bmpZ\r\n"  // grows to its fitted size
                                          "02:05:40Fine15E\r\n"     // 9: hidden, minutes later
                                          "02:06:00Colore42C\r\n"   // 10: an error
                                          "**\r\n")
                                   .string();
    // Playing finds its warnings even in a script with errors.
    const CheckReport report = checkScriptFully(script, root.path().string(), prober, sounds);
    EXPECT_TRUE(std::any_of(report.diagnostics.begin(), report.diagnostics.end(),
                            [](const Diagnostic& d) { return d.line == 10 && d.error; }));
    std::vector<Diagnostic> found;  // what only playing finds
    for (const auto& d : report.diagnostics) {
        if (d.text.rfind("la didascalia", 0) == 0 || d.text.rfind("l'immagine \u00AB", 0) == 0)
            found.push_back(d);
    }
    std::vector<int> lines;
    for (const auto& d : found) lines.push_back(d.line);
    ASSERT_EQ(lines, (std::vector<int>{2, 3, 6, 9}));
    EXPECT_EQ(found[1].text.rfind("la didascalia \u00ABSotto la foto\u00BB resta nascosta", 0), 0u);
    EXPECT_NE(found[1].text.find("palco.bmp"), std::string::npos);
    EXPECT_NE(found[2].text.find("se ne vede il 87 % in larghezza e il 100 % in altezza; con "
                                 "\u00ABR\u00BB un'immagine di queste proporzioni si vede intera "
                                 "fino a 1953 x 1465 pixel"),
              std::string::npos)
        << found[2].text;
    EXPECT_FALSE(found[3].error);
}

// The reader waits at a cue whose minutes and seconds both lie ahead: a cue
// out of order behind one never runs, another runs at its second. Nothing
// runs after the closing line has stopped the show.
TEST_F(SimulationTest, PlayCheckSaysWhichCuesOutOfOrderRunAndThatNoneRunsAfterTheEnd) {
    const std::string script = root.write("Allegato/show.txt",
                                          "01:00:10Primo12C\r\n"
                                          "01:01:50Secondo12C\r\n"
                                          "01:00:40Mai12C\r\n"  // 3: held at line 2
                                          "02:00:10Terzo12C\r\n"
                                          "02:01:30Quarto12C\r\n"
                                          "02:00:40Si12C\r\n"  // 6: runs at its second
                                          "02:02:00Fine15E\r\n"
                                          "02:03:00Dopo12C\r\n"  // 8: after the end
                                          "**\r\n")
                                   .string();
    const CheckReport report = checkScriptFully(script, root.path().string(), prober, sounds);
    std::map<int, std::string> said;
    for (const auto& d : report.diagnostics) said[d.line] += d.text;
    EXPECT_EQ(said[3],
              "tempo fuori ordine: la riga non verrà mai eseguita, perché quando il CD arriva al "
              "suo secondo il lettore aspetta ancora la riga 2 (01:01:50), che viene prima nel "
              "file");
    EXPECT_EQ(said[6],
              "tempo fuori ordine: viene prima di quello della riga precedente, ma viene "
              "eseguita lo stesso al suo secondo, 02:00:40");
    EXPECT_EQ(said[8],
              "lo spettacolo si ferma prima, alla riga 7 (\u00ABE\u00BB a 02:02:00): questa riga "
              "non verrà mai eseguita");
}

TEST(SimulationToc, PrintsTheTableAndTheDiscCode) {
    const json toc =
        json::parse(tocJson(std::make_unique<SilentDisc>(std::vector<std::int32_t>{300, 450})));
    EXPECT_EQ(toc["tracks"],
              json::parse(
                  R"([{"track":1,"start":0,"length":300},{"track":2,"start":300,"length":450}])"));
    EXPECT_EQ(toc["discCode"], 2 + 0x0400 + 0x0200 + 0x0600 + 0x0600);
}

}  // namespace
}  // namespace quilo
