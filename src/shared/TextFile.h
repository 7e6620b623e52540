#pragma once
// From a text file's bytes (a script, the colour file) to its lines of UTF-8
// text. Files written on Windows are Windows-1252, or UTF-16 when saved as
// "Unicode" (always with a byte-order mark); a file that is valid UTF-8 is
// taken as UTF-8 (a byte-order mark is dropped). A line ends at CR or CR LF; a
// lone LF stays in the line, except in a file with no CR at all, which is
// split at LF.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quilo {

// UTF-8 text of the bytes, by the rule above.
std::string decodeTextBytes(std::string_view bytes);

// Windows-1252 to UTF-8 through iconv. The five bytes that code page leaves
// undefined come through as the control characters of the same number.
std::string windows1252ToUtf8(std::string_view bytes);

std::vector<std::string> splitTextLines(std::string_view text);

// The UTF-16 code unit at byte `i` (two bytes must be there).
inline std::uint32_t utf16Unit(std::string_view bytes, std::size_t i, bool bigEndian) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
}

// The byte order a UTF-16 byte-order mark at the start says; none without one.
inline std::optional<bool> utf16BigEndian(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE") return false;
    if (bytes.substr(0, 2) == "\xFE\xFF") return true;
    return std::nullopt;
}

// UTF-16 (little- or big-endian) to UTF-8; a code unit that pairs with
// nothing becomes U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace quilo
