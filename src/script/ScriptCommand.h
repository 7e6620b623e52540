#pragma once
// The commands a due line is dispatched to, and how each hands control back to
// the reader: go on with the next line, or end the pass at this line.

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

// The dispatch table, tested in its fixed order; letters compare exactly.
ScriptCommand commandFor(std::string_view letter);

enum class PassFlow { Continue, EndPass };

// Runs one command on the line at `currentLine`. A command that consumes block
// lines leaves `currentLine` on the last line it consumed.
class CommandRunner {
  public:
    virtual ~CommandRunner() = default;
    virtual PassFlow run(ScriptCommand command) = 0;
};

}  // namespace quilo
