#include "shared/LineFormat.h"

#include <gtest/gtest.h>

#include "shared/Utf8.h"

namespace quilo {
namespace {

TEST(LineFormat, DecodesTimeStampPackedTimeAndCommandLetter) {
    const DecodedLine d = decodeLine("01:02:03Hello12C");
    EXPECT_EQ(d.track, 1);
    EXPECT_EQ(d.minutes, 2);
    EXPECT_EQ(d.seconds, 3);
    EXPECT_EQ(d.packedTime, 1 + 256 * 2 + 65536 * 3);
    EXPECT_EQ(d.timeText, "01:02:03");
    EXPECT_EQ(d.commandLetter, "C");
    EXPECT_EQ(d.length, 16);
}

TEST(LineFormat, ReadsOtherSeparatorsAndLinesWithoutTimeStamp) {
    const DecodedLine d = decodeLine("01-02-03Hello, world");
    EXPECT_EQ(d.track, 1);
    EXPECT_EQ(d.minutes, 2);
    EXPECT_EQ(d.seconds, 3);
    EXPECT_EQ(d.commandLetter, "d");
    for (const char* comment : {"  01:00:00 text", "**", "ab:cd:efC"}) {
        EXPECT_EQ(decodeLine(comment).track, 0) << comment;
    }
}

TEST(LineFormat, TakesSecondsFromTheLastTwoCharactersOfAShortLine) {
    // Shorter than eight characters: the seconds overlap whatever stands last.
    const DecodedLine d = decodeLine("01:02:3");
    EXPECT_EQ(d.minutes, 2);
    EXPECT_EQ(d.seconds, 0);  // ":3": the colon ends the field before any digit
    EXPECT_EQ(decodeLine("0107").seconds, 7);
    EXPECT_EQ(decodeLine("5").seconds, 5);
    EXPECT_EQ(decodeLine("5").track, 5);
}

TEST(LineFormat, GivesAnEmptyLineNoCommandLetter) {
    const DecodedLine d = decodeLine("");
    EXPECT_EQ(d.commandLetter, "");
    EXPECT_EQ(d.length, 0);
    EXPECT_EQ(d.packedTime, 0);
}

TEST(LineFormat, CountsColumnsInCharactersForAccentedText) {
    const DecodedLine d = decodeLine("01:00:05Perché è così14L");
    EXPECT_EQ(d.length, 24);
    EXPECT_EQ(d.commandLetter, "L");
    const ColouredText body = colouredTextBody("01:00:05Perché è così14L");
    EXPECT_EQ(body.text, "Perché è così");
    EXPECT_EQ(body.number, 14);
    EXPECT_EQ(decodeLine("01:00:05città").commandLetter, "à");
}

TEST(LineFormat, SplitsTheThreeBodyLayouts) {
    const ColouredText coloured = colouredTextBody("01:02:03Hello12C");
    EXPECT_EQ(coloured.text, "Hello");
    EXPECT_EQ(coloured.number, 12);
    EXPECT_EQ(nameBody("01:00:12photo1.bmpM"), "photo1.bmp");
    EXPECT_EQ(plainTextBody("01:00:25Una frase intera"), "Una frase intera");
}

TEST(LineFormat, GivesEmptyBodiesToLinesTooShortForTheirLayout) {
    const ColouredText empty = colouredTextBody("01:02:0312C");  // L = 11
    EXPECT_EQ(empty.text, "");
    EXPECT_EQ(empty.number, 12);
    const ColouredText tooShort = colouredTextBody("01:02:03C");
    EXPECT_EQ(tooShort.text, "");
    EXPECT_FALSE(tooShort.number.has_value());
    EXPECT_EQ(nameBody("01:00:12M"), "");
    EXPECT_EQ(nameBody("01:00M"), "");
    EXPECT_EQ(nameBody("01:00:12 M"), " ");
    EXPECT_EQ(plainTextBody("01:00"), "");
    EXPECT_EQ(plainTextBody("01:00:05x"), "x");
}

TEST(LineFormat, DropsOnlyTheLastCharacterOfAClosingLine) {
    EXPECT_EQ(withoutLastCharacter("Line three-"), "Line three");
    EXPECT_EQ(withoutLastCharacter("-"), "");
    EXPECT_EQ(withoutLastCharacter("città-"), "città");
    EXPECT_EQ(withoutLastCharacter(""), "");
}

TEST(Utf8, TakesCharactersNotBytes) {
    EXPECT_EQ(utf8::length("àèì"), 3u);
    EXPECT_EQ(utf8::mid("àèìòù", 2, 2), "èì");
    EXPECT_EQ(utf8::mid("abc", 5, 2), "");
    EXPECT_EQ(utf8::left("àb", 5), "àb");
    EXPECT_EQ(utf8::right("xyà", 2), "yà");
    EXPECT_EQ(utf8::asciiLower("Foto.JPG È"), "foto.jpg È");  // only A to Z change
}

TEST(Utf8, RejectsMalformedSequences) {
    EXPECT_TRUE(utf8::isValid("plain ascii"));
    EXPECT_TRUE(utf8::isValid("caff\xC3\xA8"));
    EXPECT_FALSE(utf8::isValid("caff\xE8"));          // Windows-1252 è
    EXPECT_FALSE(utf8::isValid("\xC0\xAF"));          // overlong
    EXPECT_FALSE(utf8::isValid("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(utf8::isValid("\xE2\x82"));          // cut short
    EXPECT_FALSE(utf8::isValid("\xF5\x80\x80\x80"));  // beyond U+10FFFF
}

}  // namespace
}  // namespace quilo
