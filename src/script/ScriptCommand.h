#pragma once
// The commands a due line is dispatched to, and how each hands control back to
// the reader: go on with the next line, or end the pass at this line.

#include <array>
#include <string>
#include <string_view>

namespace quilo {

enum class ScriptCommand {
    TextColumn,         // "K", "-"
    PictureText,        // "D"
    CaptionBlock,       // "+"
    Pause,              // "S", "P"
    TextColourCaption,  // "C"
    BackColourCaption,  // "B"
    ClosingCaption,     // "E"
    Picture,            // "F", "A", "R", "Z", "M"
    Background,         // "V"
    NormalBackground,   // "N"
    AddLine,            // "L"
    Sound,              // "W"
    HeaderDefaults,     // "T"
    PlainCaption,       // anything else, or no character at all
};

// Where a command takes its parameters from, after the time stamp.
enum class LineBody {
    None,           // nothing: the letter alone says it all
    WholeText,      // columns 9 to the end, the letter included
    TextAndNumber,  // text, then a two-digit number just before the letter
    BeforeLetter,   // columns 9 to the one before the letter: a text or a file name
};

// What a letter does and what its line must hold. The runner and the script
// checker both read this one table, so they cannot disagree about a letter.
struct CommandTraits {
    std::string_view letter;
    ScriptCommand command;
    LineBody body;
    // The letter of the line that closes the block this line opens; empty
    // when the line opens no block.
    std::string_view closedBy;
    // The shortest line that carries every parameter, in characters.
    int shortest;
};

inline constexpr std::array<CommandTraits, 19> kCommandTraits{{
    {"K", ScriptCommand::TextColumn, LineBody::BeforeLetter, "-", 9},
    {"-", ScriptCommand::TextColumn, LineBody::BeforeLetter, "", 9},
    {"D", ScriptCommand::PictureText, LineBody::BeforeLetter, "-", 9},
    {"+", ScriptCommand::CaptionBlock, LineBody::BeforeLetter, "-", 9},
    {"S", ScriptCommand::Pause, LineBody::TextAndNumber, "P", 11},
    {"P", ScriptCommand::Pause, LineBody::TextAndNumber, "", 11},
    {"C", ScriptCommand::TextColourCaption, LineBody::TextAndNumber, "", 11},
    {"B", ScriptCommand::BackColourCaption, LineBody::TextAndNumber, "", 11},
    {"E", ScriptCommand::ClosingCaption, LineBody::TextAndNumber, "", 11},
    {"F", ScriptCommand::Picture, LineBody::BeforeLetter, "", 9},
    {"A", ScriptCommand::Picture, LineBody::BeforeLetter, "", 9},
    {"R", ScriptCommand::Picture, LineBody::BeforeLetter, "", 9},
    {"Z", ScriptCommand::Picture, LineBody::BeforeLetter, "", 9},
    {"M", ScriptCommand::Picture, LineBody::BeforeLetter, "", 9},
    {"V", ScriptCommand::Background, LineBody::BeforeLetter, "", 9},
    {"N", ScriptCommand::NormalBackground, LineBody::None, "", 0},
    {"L", ScriptCommand::AddLine, LineBody::TextAndNumber, "", 11},
    {"W", ScriptCommand::Sound, LineBody::BeforeLetter, "", 9},
    {"T", ScriptCommand::HeaderDefaults, LineBody::None, "", 0},
}};

// Any other last character, or none: the line is a caption of its own text.
inline constexpr CommandTraits kPlainCaptionTraits{"", ScriptCommand::PlainCaption,
                                                   LineBody::WholeText, "", 8};

// The traits of a letter; letters compare exactly, so "c" is a caption.
const CommandTraits& traitsFor(std::string_view letter);

inline ScriptCommand commandFor(std::string_view letter) {
    return traitsFor(letter).command;
}

// The text or file name a line gives its command, by the command's layout
// (empty for a letter that takes nothing); a coloured text's number apart.
std::string commandBody(std::string_view line);

// Whether a command names a file it loads or plays.
inline bool namesFile(ScriptCommand command) {
    return command == ScriptCommand::Picture || command == ScriptCommand::Background ||
           command == ScriptCommand::Sound;
}

enum class PassFlow { Continue, EndPass };

// Runs one command on the line at `currentLine`. A command that consumes block
// lines leaves `currentLine` on the last line it consumed.
class CommandRunner {
  public:
    virtual ~CommandRunner() = default;
    virtual PassFlow run(ScriptCommand command) = 0;
};

// Sees each command the reader runs, around the run itself (for the tools
// and the tests); it must hand the command on to `next`.
class CommandTap {
  public:
    virtual ~CommandTap() = default;
    virtual PassFlow run(ScriptCommand command, CommandRunner& next) = 0;
};

}  // namespace quilo
