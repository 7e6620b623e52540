#include "script/ScriptCommand.h"

namespace quilo {

ScriptCommand commandFor(std::string_view letter) {
    if (letter == "K" || letter == "-") return ScriptCommand::TextColumn;
    if (letter == "D") return ScriptCommand::PictureText;
    if (letter == "+") return ScriptCommand::CaptionBlock;
    if (letter == "S" || letter == "P") return ScriptCommand::Pause;
    if (letter == "C") return ScriptCommand::TextColourCaption;
    if (letter == "B") return ScriptCommand::BackColourCaption;
    if (letter == "E") return ScriptCommand::ClosingCaption;
    if (letter == "F" || letter == "A" || letter == "R" || letter == "Z" || letter == "M") {
        return ScriptCommand::Picture;
    }
    if (letter == "V") return ScriptCommand::Background;
    if (letter == "N") return ScriptCommand::NormalBackground;
    if (letter == "L") return ScriptCommand::AddLine;
    if (letter == "W") return ScriptCommand::Sound;
    if (letter == "T") return ScriptCommand::HeaderDefaults;
    return ScriptCommand::PlainCaption;
}

}  // namespace quilo
