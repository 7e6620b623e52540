#include "script/ScriptLoader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace quilo {
namespace {

using testing::TempDir;

class ScriptLoaderTest : public ::testing::Test {
  protected:
    std::optional<ScriptError> load(std::string_view bytes, const std::string& name = "s.txt") {
        state.scriptPath = dir.write(name, bytes).string();
        return loader.MemorizzaLetturaRiga();
    }

    TempDir dir;
    Modulo1 state;
    PathResolver paths{dir.path()};
    ScriptLoader loader{state, paths};
};

std::string linesOf(int count, const std::string& line) {
    std::string text;
    for (int i = 0; i < count; ++i) text += line + "\r\n";
    return text;
}

TEST_F(ScriptLoaderTest, StoresLinesUpToAndIncludingTheTerminator) {
    ASSERT_FALSE(load("01:00:01A12C\r\n01:00:02B\r\n**\r\n01:00:03never12C\r\n**\r\n"));
    EXPECT_EQ(state.lineCount, 3);
    EXPECT_EQ(state.scriptLines[0], "01:00:01A12C");
    EXPECT_EQ(state.scriptLines[2], "**");
    EXPECT_EQ(state.scriptLines[3], " ");
    EXPECT_EQ(state.scriptLines[2000], " ");
    EXPECT_EQ(state.currentLine, 0);
}

TEST_F(ScriptLoaderTest, EndsAtATerminatorFollowedByMoreText) {
    ASSERT_FALSE(load("**end of the script\r\n01:00:03x12C\r\n"));
    EXPECT_EQ(state.lineCount, 1);
    EXPECT_EQ(state.scriptLines[0], "**end of the script");
}

TEST_F(ScriptLoaderTest, StoresLinesExactlyAsWritten) {
    ASSERT_FALSE(load("  01:00:01 padded  \r\nwith\nlf\r\n**"));
    EXPECT_EQ(state.scriptLines[0], "  01:00:01 padded  ");
    EXPECT_EQ(state.scriptLines[1], "with\nlf");
    EXPECT_EQ(state.lineCount, 3);
}

TEST_F(ScriptLoaderTest, CopiesOnlyTheFirstSevenHeaderLines) {
    std::string script = "01:00:01A12C\r\n";
    for (int i = 1; i <= 9; ++i) script += "99 header " + std::to_string(i) + "\r\n";
    script += "**\r\n";
    ASSERT_FALSE(load(script));
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(state.headerLines[i], "99 header " + std::to_string(i));
    EXPECT_EQ(state.scriptLines[8], "99 header 8");
    EXPECT_EQ(state.scriptLines[9], "99 header 9");
    EXPECT_EQ(state.headerLines[0], " ");
}

TEST_F(ScriptLoaderTest, CopiesAHeaderLineStandingJustBeforeTheTerminator) {
    ASSERT_FALSE(load("01:00:01A12C\r\n99 red 10\r\n01:00:02B\r\n99 green 20\r\n**\r\n"));
    EXPECT_EQ(state.headerLines[1], "99 red 10");
    EXPECT_EQ(state.headerLines[2], "99 green 20");
    EXPECT_EQ(state.headerLines[3], " ");
}

TEST_F(ScriptLoaderTest, AcceptsExactlyTwoThousandAndOneLines) {
    ASSERT_FALSE(load(linesOf(2000, "01:00:01x12C") + "**"));
    EXPECT_EQ(state.lineCount, 2001);
    EXPECT_EQ(state.scriptLines[2000], "**");
    EXPECT_EQ(state.scriptLines.decoded(1999).commandLetter, "C");
}

TEST_F(ScriptLoaderTest, ReadsScriptsSavedByLinuxEditorsAndInUtf8OrUtf16) {
    ASSERT_FALSE(
        load("\xEF\xBB\xBF"
             "01:00:01Città12C\n**\n"));
    EXPECT_EQ(state.lineCount, 2);
    EXPECT_EQ(state.scriptLines[0], "01:00:01Città12C");
    EXPECT_EQ(state.scriptLines.decoded(0).length, 16);

    const std::u16string text = u"01:00:01Città12C\r\n**\r\n";
    for (const bool bigEndian : {false, true}) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : text) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        ASSERT_FALSE(load(bytes + std::string(bigEndian ? "\0x" : "x\0", 2)));
        EXPECT_EQ(state.lineCount, 2);
        EXPECT_EQ(state.scriptLines[0], "01:00:01Città12C");
    }
}

TEST_F(ScriptLoaderTest, ReadsWindows1252Captions) {
    ASSERT_FALSE(load("01:00:01Citt\xE0 \xE8 bella12C\r\n**\r\n"));
    EXPECT_EQ(state.scriptLines[0], "01:00:01Città è bella12C");
}

TEST_F(ScriptLoaderTest, DecidesEncodingAndLineEndsOnTheLinesBeforeTheTerminatorAlone) {
    // Notes after "**" in other line ends or another encoding change nothing.
    ASSERT_FALSE(load("01:00:01Perch\xC3\xA8 no12C\n**\r\nnota: perch\xE8\r\n"));
    EXPECT_EQ(state.lineCount, 2);
    EXPECT_EQ(state.scriptLines[0], "01:00:01Perchè no12C");
    ASSERT_FALSE(load("01:00:01a12C\n**fine \xE8\r\n"));
    EXPECT_EQ(state.scriptLines[1], "**fine è");
    // A lone LF before the first CR still stays in its line when CRs follow.
    ASSERT_FALSE(load("01:00:01a\nb12C\r\n**\n"));
    EXPECT_EQ(state.scriptLines[0], "01:00:01a\nb12C");
    EXPECT_EQ(state.lineCount, 2);
    // ... and so does a "**" after it, which ends nothing.
    ASSERT_FALSE(load("01:00:01a12C\r\nb\n**no\r\n**\r\n"));
    EXPECT_EQ(state.scriptLines[1], "b\n**no");
    EXPECT_EQ(state.lineCount, 3);
}

TEST_F(ScriptLoaderTest, ResolvesAWindowsStylePathUnderTheRoot) {
    dir.write("Allegato/Nuovo.txt", "01:00:01A12C\r\n**\r\n");
    state.scriptPath = "c:\\allegato\\nuovo.txt";
    ASSERT_FALSE(loader.MemorizzaLetturaRiga());
    EXPECT_EQ(state.lineCount, 2);
}

struct Refusal {
    std::string bytes;
    ScriptError::Reason reason;
    std::string text;  // with the path as %1
};

TEST_F(ScriptLoaderTest, RefusesScriptsBeyondItsLimitsAndLeavesTheTablesCleared) {
    const std::string longLine(32768, 'x');
    const Refusal refusals[] = {
        {"", ScriptError::Reason::Empty, "Il copione è vuoto: %1"},
        {"01:00:01A12C\r\n01:00:02B\r\n", ScriptError::Reason::NoTerminator,
         "Il copione non termina con una riga \"**\": %1"},
        {linesOf(2001, "01:00:01x12C") + "**", ScriptError::Reason::TooManyLines,
         "Il copione supera le 2001 righe: %1"},
        {"01:00:01A12C\r\n" + longLine + "\r\n**", ScriptError::Reason::LineTooLong,
         "La riga 2 del copione supera i 32767 caratteri: %1"},
        {"01:00:01A12C\n99 x 0\n01:00:02B12C\r\n01:00:03D12C\n**\n",
         ScriptError::Reason::MixedLineEnds,
         "Il copione mescola due tipi di a capo (dalla riga 3 diversi dalla prima: Windows CR "
         "LF e Linux LF), e così la riga \"**\" non si trova; salvarlo con un solo tipo di a "
         "capo: %1"},
    };
    for (const Refusal& r : refusals) {
        const auto error = load(r.bytes);
        ASSERT_TRUE(error.has_value()) << r.text;
        EXPECT_EQ(error->reason, r.reason);
        std::string expected = r.text;
        expected.replace(expected.find("%1"), 2, state.scriptPath);
        EXPECT_EQ(error->message, expected);
        EXPECT_EQ(state.lineCount, 0);
        EXPECT_EQ(state.scriptLines[0], " ");
        EXPECT_EQ(state.headerLines[1], " ");
    }
}

TEST_F(ScriptLoaderTest, AcceptsALineOfExactlyTheLongestLength) {
    ASSERT_FALSE(load(std::string(32767, 'x') + "\r\n**"));
    EXPECT_EQ(state.scriptLines.decoded(0).length, 32767);
}

TEST_F(ScriptLoaderTest, RefusesWhatIsNotAReadableRegularFileWithoutWaiting) {
    namespace fs = std::filesystem;
    fs::create_directories(dir.path() / "folder.txt");
    ASSERT_EQ(::mkfifo((dir.path() / "fifo.txt").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir.path() / "zero.txt");
    const std::pair<std::string, std::string> cases[] = {
        {"missing.txt", ""},
        {"folder.txt", ""},
        {"fifo.txt", " (non è un file regolare)"},
        {"zero.txt", " (non è un file regolare)"},
    };
    for (const auto& [name, clause] : cases) {
        state.scriptPath = (dir.path() / name).string();
        const auto error = loader.MemorizzaLetturaRiga();
        ASSERT_TRUE(error.has_value()) << name;
        EXPECT_EQ(error->reason, ScriptError::Reason::Unreadable);
        EXPECT_EQ(error->message, "Impossibile leggere il copione: " + state.scriptPath + clause);
    }
}

TEST_F(ScriptLoaderTest, ReadsNoFurtherThanTheTerminatorLineOrTheLongestScript) {
    const auto huge = dir.write("huge.txt", "01:00:01A12C\r\n**\r\n");
    std::filesystem::resize_file(huge, std::uintmax_t{4} << 30);  // sparse: no disk used
    state.scriptPath = huge.string();
    ASSERT_FALSE(loader.MemorizzaLetturaRiga());
    EXPECT_EQ(state.lineCount, 2);

    const auto endless = dir.write("endless.txt", "01:00:01A12C\r\n");
    std::filesystem::resize_file(endless, std::uintmax_t{1} << 30);
    state.scriptPath = endless.string();
    const auto error = loader.MemorizzaLetturaRiga();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->message,
              "Impossibile leggere il copione: " + endless.string() + " (è troppo grande)");
}

}  // namespace
}  // namespace quilo
