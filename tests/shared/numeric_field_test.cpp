#include "shared/NumericField.h"

#include <gtest/gtest.h>

namespace quilo {
namespace {

TEST(NumericField, ReadsDigitsWithBlanksAndTrailingText) {
    EXPECT_EQ(numericField("05"), 5);
    EXPECT_EQ(numericField(" 5"), 5);
    EXPECT_EQ(numericField("5:"), 5);
    EXPECT_EQ(numericField("  200  "), 200);
    EXPECT_EQ(numericField("1 2"), 12);  // blanks are skipped inside a number too
    EXPECT_EQ(numericField("12C"), 12);
}

TEST(NumericField, GivesZeroWhenNoNumberStandsThere) {
    EXPECT_EQ(numericField("**"), 0);
    EXPECT_EQ(numericField("  "), 0);
    EXPECT_EQ(numericField("ab"), 0);
    EXPECT_EQ(numericField(""), 0);
    EXPECT_EQ(numericField("-"), 0);
    EXPECT_EQ(numericField("."), 0);
    EXPECT_EQ(numericField("&H10"), 0);  // no radix prefixes
}

TEST(NumericField, AcceptsOneSignAndOneDecimalPoint) {
    EXPECT_EQ(numericField("-7"), -7);
    EXPECT_EQ(numericField("+7"), 7);
    EXPECT_EQ(numericField("- 7"), -7);
    EXPECT_DOUBLE_EQ(numericField("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(numericField(".5"), 0.5);
    EXPECT_DOUBLE_EQ(numericField("1.2.3"), 1.2);  // a second point ends the number
    EXPECT_EQ(numericField("+-1"), 0);             // a second sign ends it before any digit
    EXPECT_EQ(numericField("1-2"), 1);
    EXPECT_EQ(numericField("1e3"), 1);  // no exponents
}

TEST(NumericField, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(numericField16("2.5"), 2);
    EXPECT_EQ(numericField16("3.5"), 4);
    EXPECT_EQ(numericField16("0.5"), 0);
    EXPECT_EQ(numericField16("-2.5"), -2);
    EXPECT_EQ(numericField16("2.51"), 3);
    EXPECT_EQ(numericField16("2.49"), 2);
}

TEST(NumericField, ClampsToTheSixteenBitRangeInsteadOfOverflowing) {
    EXPECT_EQ(numericField16("99999"), 32767);
    EXPECT_EQ(numericField16("-99999"), -32768);
}

}  // namespace
}  // namespace quilo
