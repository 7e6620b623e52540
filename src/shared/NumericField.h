#pragma once
// The numeric field rule every number in a script is read by: blanks are
// skipped, an optional sign and one decimal point are accepted, reading stops
// at the first character that cannot continue the number, and a field with no
// number reads as 0. Exponents and radix prefixes are not numbers here.

#include <cstdint>
#include <string_view>

namespace quilo {

double numericField(std::string_view field);

// Rounds to the nearest integer, halves to the even neighbour, clamped to the
// 16-bit range so that no field can overflow the variable it is stored in.
std::int16_t roundToInt16(double value);

inline std::int16_t numericField16(std::string_view field) {
    return roundToInt16(numericField(field));
}

}  // namespace quilo
