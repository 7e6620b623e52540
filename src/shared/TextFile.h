#pragma once
// From a text file's bytes (a script, the colour file) to its lines of UTF-8
// text. Files written on Windows are Windows-1252, or UTF-16 when saved as
// "Unicode" (always with a byte-order mark); a file that is valid UTF-8 is
// taken as UTF-8 (a byte-order mark is dropped). A line ends at CR or CR LF; a
// lone LF stays in the line, except in a text with no CR at all, which is
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

// A script's lines up to and including its terminator line (the first that
// begins "**"). What follows that line is the author's notes: its encoding
// and its line ends must not change how the script reads, so both are decided
// on the lines before the terminator alone. Those lines end at CR or CR LF,
// or at LF when none of them holds a CR.
struct ScriptText {
    std::vector<std::string> lines;  // empty when there is no terminator line
    bool empty = false;              // the file holds no text at all
    // With no terminator line found because LF and CR LF ends are mixed (a
    // "**" line follows a lone LF in a file whose earlier lines hold a CR):
    // the first line, 1-based as an editor counts, that ends unlike line 1.
    int mixedLineEndsFrom = 0;
    // The lines after the end line (at most kMostLinesAfterEnd), which the
    // player never reads.
    std::vector<std::string> afterEnd;
};
inline constexpr std::size_t kMostLinesAfterEnd = 2001;
ScriptText readScriptText(std::string_view bytes);

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

// A text as units: bytes, or UTF-16 code units of two bytes each. CR, LF and
// "*" are single units in every encoding a script may have.
struct TextUnits {
    std::string_view bytes;
    std::size_t width = 1;
    bool bigEndian = false;

    std::size_t size() const { return bytes.size() / width; }
    std::uint32_t operator[](std::size_t i) const {
        return width == 1 ? static_cast<unsigned char>(bytes[i])
                          : utf16Unit(bytes, i * 2, bigEndian);
    }
    std::string_view slice(std::size_t from, std::size_t to) const {
        return bytes.substr(from * width, (to - from) * width);
    }
};

// Where a script ends, by the rule the loader reads it by: its lines end at CR
// and CR LF, and at LF too when no CR comes before the first line that begins
// "**" as LF-ended lines see it; the terminator is the first such line that
// begins a line by those ends.
struct ScriptExtent {
    std::optional<std::size_t> terminator;  // the unit its line starts at
    bool crLines = false;                   // lines end at CR (a lone LF stays in its line)
    bool terminatorBehindLf = false;        // a "**" line exists if every LF ended a line
};
ScriptExtent scriptExtent(const TextUnits& text);

// UTF-16 (little- or big-endian) to UTF-8; a code unit that pairs with
// nothing becomes U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace quilo
