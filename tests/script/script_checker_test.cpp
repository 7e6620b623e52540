#include "script/ScriptChecker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "display/Colours.h"
#include "support/FakeCdDevice.h"
#include "support/Harness.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using testing::TempDir;

// Files whose name has "junk" in it do not decode.
struct JunkRefusingChecks : PictureProber, SoundCheck {
    std::optional<PixelSize> pixelSize(const std::string& file) override {
        if (file.find("junk") != std::string::npos) return std::nullopt;
        if (file.find("wide") != std::string::npos) return PixelSize{1920, 1080};
        return PixelSize{1463, 1097};  // a background drawn whole, at scale 8
    }
    bool playable(const std::string& file) override {
        return file.find("junk") == std::string::npos;
    }
};

class ScriptCheckerTest : public ::testing::Test {
  protected:
    ScriptCheckerTest() {
        for (const char* name :
             {"sea.bmp", "photo.jpg", "wide.jpg", "ding.wav", "junk.jpg", "junk.wav"})
            root.write(std::string("Allegato/") + name, "x");
        ::mkfifo((root.path() / "Allegato" / "fifo.png").c_str(), 0600);
    }
    CheckReport check(const std::string& body, bool withHeader = true) {
        std::string script = "01:00:01Start12C\r\n";
        if (withHeader) {
            for (int i = 0; i < 6; ++i) script += "99 colour    100\r\n";
            script += "99:00:00sea.bmpV\r\n";
        }
        script += body + "**\r\n";
        path = root.write("Allegato/show.txt", script).string();
        return checkScript(path, paths, {&decoders, &decoders});
    }
    // The diagnostics as "LINE:e|w:start of text".
    static std::vector<std::string> brief(const CheckReport& report) {
        std::vector<std::string> out;
        for (const auto& d : report.diagnostics) {
            out.push_back(std::to_string(d.line) + (d.error ? ":e:" : ":w:") +
                          d.text.substr(0, 12));
        }
        return out;
    }

    TempDir root;
    PathResolver paths{root.path()};
    JunkRefusingChecks decoders;
    std::string path;
};

TEST_F(ScriptCheckerTest, FindsNothingInACleanScript) {
    const auto report = check("01:00:10photo.jpgM\r\n01:00:20ding.wavW\r\n01:00:30Bye00E\r\n");
    EXPECT_TRUE(report.diagnostics.empty()) << formatReport(path, report);
    EXPECT_EQ(formatReport("s.txt", report), "s.txt: 0 errori, 0 avvisi\n");
}

TEST_F(ScriptCheckerTest, ReportsEachErrorOnItsLine) {
    const auto report = check(
        "01:00:02ab12\r\n"          // 9: fine, a plain caption
        "01:00:0312C\r\n"           // 10: fine, empty caption
        "01:00:0412C\r\n"           // 11: same second as nothing before: fine
        "01:00:05x1C\r\n"           // 12: no colour digits: "x1" reads 0 (a warning)
        "01:00:0742C\r\n"           // 13: colour 42 names nothing
        "01:00:08E\r\n"             // 14: too short for "E"
        "01:00:09gone.pngM\r\n"     // 15: missing picture
        "01:00:20nowhere.wavW\r\n"  // 16: missing sound
        "01:00:21fifo.pngV\r\n"     // 17: not a regular file
        "01:00:22junk.jpgV\r\n"     // 18: does not decode
        "01:00:23junk.wavW\r\n"     // 19: does not play
        "01:00:24W\r\n"             // 20: names no file
        "01:00:30Open block+\r\n"   // 21: never closed
        "still open\r\n");
    EXPECT_EQ(brief(report),
              (std::vector<std::string>{
                  "12:w:prima della ", "13:e:il colore 42", "14:e:riga troppo ", "15:e:immagine «g",
                  "16:e:suono «nowh", "17:e:immagine di ", "18:e:immagine di ", "19:e:suono «junk",
                  "20:e:nessun nome ", "21:e:blocco senza"}))
        << formatReport(path, report);
}

TEST_F(ScriptCheckerTest, ReportsEachWarningOnItsLine) {
    const auto report = check(
        "01:00:10first12C\r\n"     // 9
        "01:00:10twin12C\r\n"      // 10: same time
        "01:00:05back12C\r\n"      // 11: out of order
        "01:00:20photo.jpgA\r\n"   // 12: 4 seconds to the next line
        "01:00:24lower12c\r\n"     // 13: lower-case c
        "01:00:30photo.jpgM \r\n"  // 14: a blank after the letter
        "01:00:40BenvenutiC\r\n"   // 15: no colour digits
        "01:00:42riga99L\r\n"      // 16: 99 is no colour for "L"
        "01:00:50photo.jpgZ\r\n"   // 17: the comment after it times it
        "Nota: la torre\r\n"       //
        "01:01:00one\ntwo12C\r\n"  // 19: a lone LF in a CR LF file
        "01:01:10Pause02S\r\n"     //
        "01:01:12inner12C\r\n"     // 21: a block line that also reads as a cue
        "endP\r\n"                 //
        "01:01:30wide.jpgV\r\n",   // 23: a background of other proportions
        true);
    EXPECT_EQ(brief(report), (std::vector<std::string>{
                                 "10:w:stesso tempo", "11:w:tempo fuori ", "12:w:solo 4 secon",
                                 "13:w:l'ultima let", "14:w:dopo la lett", "15:w:prima della ",
                                 "16:w:il colore 99", "17:w:la riga segu", "19:w:la riga fini",
                                 "21:w:riga di un b", "23:w:l'immagine d"}))
        << formatReport(path, report);
    EXPECT_EQ(report.errors(), 0);
    const auto said = [&](int line) {
        for (const auto& d : report.diagnostics)
            if (d.line == line) return d.text;
        return std::string();
    };
    EXPECT_NE(said(14).find("«photo.jpgM »"), std::string::npos);
    EXPECT_NE(said(15).find("«ti» per il numero (vale 0) e mostra «Benvenu»"), std::string::npos);
    EXPECT_NE(said(17).find("(10 secondi"), std::string::npos);  // "la" reads 0: 60 - 50 + 0
    EXPECT_NE(said(23).find("13440 x 7560 punti"), std::string::npos);
}

TEST_F(ScriptCheckerTest, WarnsAboutTheHeaderAndTheFirstLine) {
    auto report = check("99 extra      0\r\n", true);
    EXPECT_EQ(brief(report), std::vector<std::string>{"9:w:più di sett"});
    report = check("99 una sola    0\r\n", false);
    EXPECT_EQ(brief(report), std::vector<std::string>{"1:w:l'intestazio"});
    EXPECT_NE(report.diagnostics[0].text.find("ha 1 riga su sette"), std::string::npos);
    report = check("", false);
    EXPECT_EQ(brief(report), std::vector<std::string>{"1:w:il copione n"});

    // Numbers are read from the last three characters only, up to 255.
    path = root.write("Allegato/show.txt",
                      "Mostra di primavera\r\n99 rosso 0\r\n99 verde 255 \r\n99 blu 5\r\n"
                      "99 rosso    300\r\n99 verde\r\n99 blu      12\r\n99:00:00 V\r\n"
                      "01:00:01Via12C\r\n**\r\n")
               .string();
    report = checkScript(path, paths, {&decoders, &decoders});
    EXPECT_EQ(brief(report),
              (std::vector<std::string>{"1:w:la prima rig", "3:w:il verde del", "4:w:il blu dello",
                                        "5:w:il rosso del", "6:w:nessun numer"}))
        << formatReport(path, report);
    EXPECT_NE(report.diagnostics[1].text.find("vale 55, non 255"), std::string::npos);
}

// Mistakes the player does not refuse but reads otherwise than meant: each
// finding says what the show will do with the line.
TEST_F(ScriptCheckerTest, SaysWhatThePlayerDoesWithATimeWrittenWrong) {
    const auto report = check(
        "1:00:03Uno corto15C\r\n"        // 9: one digit for the track
        "01:0:04Due corto15C\r\n"        // 10: and for the minutes
        "01:00:75Troppi secondi15C\r\n"  // 11: never reached
        "01:00:16Dopo15C\r\n"            // 12: not out of order for that
        "01:01:05:30Fotogrammi15C\r\n"   // 13: frames read as text
        "\xEF\xBB\xBF"
        "01:01:10Incollata15C\r\n"  // 14: a mark before the time
        "01:01:15Con un \xEF\xBB\xBF"
        "segno15C\r\n"                   // 15: a mark inside
        "Dimenticata15C\r\n"             // 16: no time
        "Un commento qualunque\r\n"      // a comment: nothing to say
        "01:01:20Colore-1C\r\n"          // 18: colour -1
        "**\r\n"                         // 19: the end
        "01:01:30Dopo la fine15C\r\n");  // 20: never read
    EXPECT_EQ(brief(report), (std::vector<std::string>{
                                 "9:w:il tempo non", "10:w:il tempo non", "11:w:i secondi «",
                                 "13:w:dopo il temp", "14:w:la riga comi", "15:w:nella riga c",
                                 "16:w:la riga non ", "18:e:il colore -1", "19:w:dopo la riga"}))
        << formatReport(path, report);
    const auto said = [&](int line) {
        for (const auto& d : report.diagnostics)
            if (d.line == line) return d.text;
        return std::string();
    };
    EXPECT_NE(said(9).find("«1:00:03U», per 01:00:03, e quel che segue, «no corto»"),
              std::string::npos)
        << said(9);
    EXPECT_NE(said(11).find("non verrà mai eseguita"), std::string::npos);
    EXPECT_NE(said(13).find("«:30»"), std::string::npos);
    EXPECT_NE(said(18).find("da 00 a 15, o 99"), std::string::npos) << said(18);
    EXPECT_NE(said(19).find("la riga 20, «01:01:30Dopo la fine15C»"), std::string::npos)
        << said(19);
}

TEST_F(ScriptCheckerTest, ChecksEveryCueAgainstTheDiscWhenGivenOne) {
    const std::string body =
        "01:01:01Quasi alla fine15C\r\n01:01:02Oltre15C\r\n"
        "02:00:01Secondo brano15C\r\n03:00:01Nessun brano15C\r\n";
    check(body);
    FileChecks withDisc{&decoders, &decoders, std::vector<std::int32_t>{62 * 75, 30 * 75}};
    const auto report = checkScript(path, paths, withDisc);
    EXPECT_EQ(brief(report), (std::vector<std::string>{"10:w:il brano 1 d", "12:w:il disco ha "}))
        << formatReport(path, report);
    EXPECT_TRUE(check(body).diagnostics.empty());  // without a disc: not checked
}

// For every letter, the checker and the runner agree on where its block (if
// any) ends: the cue after it is checked by one and run by the other, and
// nothing in between is either. Both closing letters follow each cue, "-" first.
TEST_F(ScriptCheckerTest, ReadsEveryLettersBlockAsTheRunnerDoes) {
    std::vector<CommandTraits> all(kCommandTraits.begin(), kCommandTraits.end());
    all.push_back(kPlainCaptionTraits);
    for (const CommandTraits& traits : all) {
        const std::string letter = traits.letter.empty() ? "q" : std::string(traits.letter);
        const std::string cue = "01:00:05" +
                                std::string(traits.body == LineBody::TextAndNumber  ? "testo03"
                                            : traits.body == LineBody::BeforeLetter ? "nome.bmp"
                                            : traits.body == LineBody::WholeText    ? "paro"
                                                                                    : "") +
                                letter;
        const std::vector<std::string> lines = {cue, "dentro", "fine-", "fineP", "01:00:0742C"};

        std::string body;
        for (const auto& line : lines) body += line + "\r\n";
        const auto report = check(body);
        const auto diagnostics = brief(report);
        EXPECT_NE(std::find(diagnostics.begin(), diagnostics.end(), "13:e:il colore 42"),
                  diagnostics.end())
            << letter << "\n"
            << formatReport(path, report);
        EXPECT_EQ(formatReport(path, report).find("blocco senza"), std::string::npos) << letter;

        testing::FakeCdDevice cd;
        testing::Harness h{cd};
        auto script = lines;
        script.push_back("**");
        h.script(script);
        cd.at(1, 0, 5);
        h.reader.LeggiRiga();
        cd.at(1, 0, 7);
        h.reader.LeggiRiga();
        EXPECT_EQ(h.log.lines, (std::vector<int>{0, 4})) << letter;
    }
}

// The player refuses to start without six numbers; a number outside 0-255
// only shows clamped.
TEST_F(ScriptCheckerTest, ChecksTheColourFileLineByLineByThePlayersRules) {
    auto report = checkColourFile(paths);
    ASSERT_EQ(report.diagnostics.size(), 1u);
    EXPECT_FALSE(report.readable);
    root.write("Quilo 1.0/colori.txt", "0\r\nverde\r\n300\r\n 12.4 \r\n-5\r\n");
    report = checkColourFile(paths);
    EXPECT_EQ(brief(report),
              (std::vector<std::string>{"2:e:\u00ABverde\u00BB no", "3:w:300 vale com",
                                        "5:w:-5 vale come", "6:e:manca la rig"}));
    Modulo1 state;
    EXPECT_TRUE(ColourTable(state, paths).CaricaColori());  // the player agrees: it would not start
    root.write("Quilo 1.0/colori.txt", "0\r\n0\r\n64\r\n255\r\n255\r\n0\r\n");
    EXPECT_TRUE(checkColourFile(paths).diagnostics.empty());
    EXPECT_FALSE(ColourTable(state, paths).CaricaColori());
}

TEST_F(ScriptCheckerTest, ReportsTheLoadersRefusalsAndAnUnreadableFile) {
    path = root.write("Allegato/open.txt", "01:00:01x12C\r\n").string();
    auto report = checkScript(path, paths);
    EXPECT_TRUE(report.readable);
    ASSERT_EQ(report.errors(), 1);
    EXPECT_EQ(report.diagnostics[0].text, "Il copione non termina con una riga \"**\": " + path);
    // One CR LF line among LF lines: the refusal says so, and where.
    path =
        root.write("Allegato/mixed.txt", "01:00:01x12C\n01:00:02y12C\r\n01:00:03z\n**\n").string();
    EXPECT_EQ(brief(checkScript(path, paths)), std::vector<std::string>{"2:e:Il copione m"});
    // "Lettore" opens only names ending in lower-case "txt".
    path = root.write("Allegato/UPPER.TXT", "01:00:01x12C\r\n**\r\n").string();
    report = checkScript(path, paths);
    ASSERT_EQ(report.errors(), 1);
    EXPECT_NE(report.diagnostics[0].text.find("«UPPER.txt»"), std::string::npos);
    report = checkScript((root.path() / "none.txt").string(), paths);
    EXPECT_FALSE(report.readable);
    EXPECT_EQ(formatReport("none.txt", report).substr(0, 27), "none.txt:1: errore: Impossi");
}

}  // namespace
}  // namespace quilo
