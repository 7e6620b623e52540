#pragma once
// From a text file's bytes (a script, the colour file) to its lines of UTF-8
// text. Files written on Windows are Windows-1252, or UTF-16 when saved as
// "Unicode" (always with a byte-order mark); a file that is valid UTF-8 is
// taken as UTF-8 (a byte-order mark is dropped). A line ends at CR or CR LF; a
// lone LF stays in the line, except in a file with no CR at all, which is
// split at LF.

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

// UTF-16 (little- or big-endian) to UTF-8; a code unit that pairs with
// nothing becomes U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace quilo
