#include "display/Colours.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace quilo {
namespace {

using testing::TempDir;

class ColourFileTest : public ::testing::Test {
  protected:
    std::optional<ColourFileError> load(std::string_view text) {
        root.write("Quilo 1.0/colori.txt", text);
        return table.CaricaColori();
    }
    TempDir root;
    Modulo1 state;
    PathResolver paths{root.path()};
    ColourTable table{state, paths};
};

TEST_F(ColourFileTest, ReadsSixComponentsIntoTheTableAndTheCurrentColours) {
    ASSERT_FALSE(load("0\r\n0\r\n64\r\n255\r\n255\r\n0\r\n999\r\nrubbish\r\n"));
    EXPECT_EQ(backColour(state), (Rgb{0, 0, 64}));
    EXPECT_EQ(textColour(state), (Rgb{255, 255, 0}));
    EXPECT_EQ(state.colourTable[6], 0);
}

TEST_F(ColourFileTest, AcceptsBlanksAroundNumbersAndLinuxLineEnds) {
    ASSERT_FALSE(load(" 200 \n\t1\n2\n3\n4\n5\n"));
    EXPECT_EQ(state.backRed, 200);
}

TEST_F(ColourFileTest, ShowsComponentsBeyondTheRangeAtItsEdges) {
    ASSERT_FALSE(load("300\r\n-5\r\n2.5\r\n0\r\n0\r\n0\r\n"));
    EXPECT_EQ(state.backRed, 300);
    EXPECT_EQ(state.backBlue, 2);
    EXPECT_EQ(backColour(state), (Rgb{255, 0, 2}));
}

TEST_F(ColourFileTest, FailsOnAnythingButSixNumbersNamingTheFileAndTheLine) {
    const std::pair<const char*, const char*> bad[] = {
        {"1\r\n2\r\n3\r\n4\r\n5\r\n", "ha 5 righe: servono sei numeri, uno per riga"},
        {"1\r\n\r\n3\r\n4\r\n5\r\n6\r\n", "riga 2: «» non è un numero da 0 a 255"},
        {"1\r\nabc\r\n3\r\n4\r\n5\r\n6\r\n", "riga 2: «abc» non è un numero da 0 a 255"},
        {"1\r\n2\r\n3\r\n4\r\n5\r\n40000\r\n", "riga 6: «40000» non è un numero da 0 a 255"},
        {"1\r\n2 3\r\n3\r\n4\r\n5\r\n6\r\n", "riga 2: «2 3» non è un numero da 0 a 255"}};
    for (const auto& [text, why] : bad) {
        state.backRed = 77;
        const auto error = load(text);
        ASSERT_TRUE(error.has_value()) << text;
        EXPECT_EQ(error->message, "Impossibile leggere il file dei colori: " +
                                      table.colourFilePath() + " (" + why + ")");
        EXPECT_EQ(state.backRed, 77);
    }
    std::filesystem::remove(table.colourFilePath());
    EXPECT_EQ(table.CaricaColori()->message, "Impossibile leggere il file dei colori: " +
                                                 table.colourFilePath() + " (non esiste)");
}

TEST(ColourNumbers, NameTheSixteenFixedColoursAndNothingElse) {
    EXPECT_EQ(colourNumber(0), (Rgb{0, 0, 0}));
    EXPECT_EQ(colourNumber(1), (Rgb{0, 0, 128}));
    EXPECT_EQ(colourNumber(7), (Rgb{192, 192, 192}));
    EXPECT_EQ(colourNumber(12), (Rgb{255, 0, 0}));
    EXPECT_EQ(colourNumber(14), (Rgb{255, 255, 0}));
    EXPECT_EQ(colourNumber(15), (Rgb{255, 255, 255}));
    EXPECT_FALSE(colourNumber(16).has_value());
    EXPECT_FALSE(colourNumber(-1).has_value());
    EXPECT_FALSE(colourNumber(99).has_value());
}

}  // namespace
}  // namespace quilo
