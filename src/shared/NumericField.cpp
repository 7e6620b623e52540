#include "shared/NumericField.h"

#include <cmath>

namespace quilo {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

double numericField(std::string_view field) {
    double whole = 0.0;
    double fraction = 0.0;
    double scale = 1.0;
    bool negative = false;
    bool signSeen = false;
    bool pointSeen = false;
    bool digitSeen = false;
    for (char c : field) {
        if (isBlank(c)) continue;
        if (isDigit(c)) {
            digitSeen = true;
            if (pointSeen) {
                scale /= 10.0;
                fraction += (c - '0') * scale;
            } else {
                whole = whole * 10.0 + (c - '0');
            }
        } else if ((c == '+' || c == '-') && !signSeen && !digitSeen && !pointSeen) {
            signSeen = true;
            negative = c == '-';
        } else if (c == '.' && !pointSeen) {
            pointSeen = true;
        } else {
            break;
        }
    }
    const double value = whole + fraction;
    return negative ? -value : value;
}

std::int16_t roundToInt16(double value) {
    const double rounded = std::nearbyint(value);   // default mode: to nearest, ties to even
    if (!(rounded >= INT16_MIN)) return INT16_MIN;  // NaN lands here too
    if (rounded > INT16_MAX) return INT16_MAX;
    return static_cast<std::int16_t>(rounded);
}

}  // namespace quilo
