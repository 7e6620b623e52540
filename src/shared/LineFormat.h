#pragma once
// How one script line reads: its time stamp (track, minutes, seconds), the
// packed cue time the reader compares, its command letter (the last character)
// and the three body layouts the commands take their parameters from.
// Columns are 1-based and count characters.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quilo {

struct DecodedLine {
    std::int16_t track = 0;
    std::int16_t minutes = 0;
    std::int16_t seconds = 0;
    std::int32_t packedTime = 0;  // track + 256 * minutes + 65536 * seconds
    std::string timeText;         // the first eight characters
    std::string commandLetter;    // the last character, empty for an empty line
    std::int32_t length = 0;      // L, in characters

    bool operator==(const DecodedLine&) const = default;
};

DecodedLine decodeLine(std::string_view line);

// The track field alone (columns 1-2), as the loader and the start read it.
std::int16_t trackField(std::string_view line);

// The seconds field of a line: the last two of its first eight characters.
std::int16_t secondsField(std::string_view line);

inline std::int32_t packedCueTime(std::int32_t track, std::int32_t minutes, std::int32_t seconds) {
    return track + 256 * minutes + 65536 * seconds;
}

// Seconds from a line to the next, from their seconds fields alone: a next
// line in the same or an earlier second counts as one a minute later.
inline std::int32_t secondsBetween(std::int32_t thisSeconds, std::int32_t nextSeconds) {
    return thisSeconds < nextSeconds ? nextSeconds - thisSeconds : 60 - thisSeconds + nextSeconds;
}

// Coloured-text layout: text in columns 9 to L-3, a two-character number in
// columns L-2 to L-1. A line shorter than 11 characters has no room for the
// number: empty text and no number.
struct ColouredText {
    std::string text;
    std::optional<std::int16_t> number;
};
ColouredText colouredTextBody(std::string_view line);

// Name layout: columns 9 to L-1 (empty for a line of 9 characters or fewer).
std::string nameBody(std::string_view line);

// Plain-text layout: columns 9 to L, the last character included.
std::string plainTextBody(std::string_view line);

// A line without its last character (the closing line of a block).
std::string withoutLastCharacter(std::string_view line);

}  // namespace quilo
