#pragma once
// The rules of the studio's edits, on a script's lines as text: which lines
// are cues, where a block ends, a line given a new second or moved by one,
// and the second a tap gives, read from the heard position exactly as the
// player reads it.

#include <optional>
#include <string>
#include <vector>

#include "shared/CdPosition.h"

namespace quilo {

// A line the player runs at its time: a track from 1 to 98 in its stamp.
bool isCueLine(const std::string& line);

// The last line of the block a cue line opens ("D", "K", "+", "S"), or the
// line itself when it opens none or its block never closes.
int blockEnd(const std::vector<std::string>& lines, int first);

// The cue lines, each block's own lines left out.
std::vector<int> cueLines(const std::vector<std::string>& lines);

// The first cue line after `line`, or none.
std::optional<int> nextCueLine(const std::vector<std::string>& lines, int line);

// The time stamp of a second: "TT:MM:SS".
std::string timeStamp(int track, int minutes, int seconds);

// The line with its first eight characters made `stamp` (a line shorter than
// that is given the stamp and keeps what it has after it).
std::string retimed(const std::string& line, const std::string& stamp);

// The line one second earlier or later within its track (never before 0:00,
// never past 99:59); the stamp keeps its form.
std::string shifted(const std::string& line, int seconds);

// A time typed by the author: "TT:MM:SS", "TT:MM:SS:FF", or "MM:SS" in
// `track`; none when it is not one.
std::optional<CdPosition> parseTime(const std::string& text, int track);

// A position moved by whole seconds within its track, never before 0:00.
CdPosition secondsLater(const CdPosition& at, int seconds);

// What a line shows in the studio's list, by its layout.
struct LineParts {
    enum class Kind { Cue, Header, BlockLine, Comment, Terminator, Note } kind = Kind::Comment;
    std::string time;           // the stamp, for cue and header lines
    std::string letter;         // the command letter; empty for a plain caption
    std::string body;           // the text or the file name
    std::optional<int> colour;  // the two digits before a coloured text's letter
};
// `inBlock`: the line belongs to the block of a cue before it.
LineParts lineParts(const std::string& line, bool inBlock);

// What the two digits before a coloured text's letter mean.
enum class NumberKind { None, Colour, Seconds };
NumberKind numberKind(const std::string& letter);

// The letters the form offers, most used first, each with what it does.
struct LetterChoice {
    const char* letter;   // "" for a plain caption
    const char* meaning;  // in Italian, as the form lists it
};
const std::vector<LetterChoice>& letterChoices();

// One field of a cue line as the form shows it. An edit of one field leaves
// every other field of the line exactly as written: a pause keeps its
// seconds when its text changes, a colour number outside the form's list
// stays as it is.
enum class LineField { Time, Letter, Body, Number };
std::string withField(const std::string& line, LineField field, const std::string& value);

// A colour number as the studio names it: "14 giallo", "99 della presentazione".
std::string colourLabel(int number);

// The second a tap gives at the heard position: the second the player reads
// a cue from, its frames dropped.
std::string tappedStamp(const CdPosition& heard);

}  // namespace quilo
