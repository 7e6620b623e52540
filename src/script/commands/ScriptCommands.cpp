#include "script/commands/ScriptCommands.h"

namespace quilo {

PassFlow ScriptCommands::run(ScriptCommand command) {
    switch (command) {
        case ScriptCommand::TextColumn:
            textColumn();
            break;
        case ScriptCommand::PictureText:
            pictureText();
            break;
        case ScriptCommand::CaptionBlock:
            captionBlock();
            break;
        case ScriptCommand::Pause:
            pause();
            break;
        case ScriptCommand::TextColourCaption:
            textColourCaption();
            break;
        case ScriptCommand::BackColourCaption:
            backColourCaption();
            break;
        case ScriptCommand::ClosingCaption:
            closingCaption();
            break;
        case ScriptCommand::Picture:
            return picture();
        case ScriptCommand::Background:
            return background();
        case ScriptCommand::NormalBackground:
            defaults_.FondoNormale();
            break;
        case ScriptCommand::AddLine:
            addLine();
            break;
        case ScriptCommand::Sound:
            sound();
            break;
        case ScriptCommand::HeaderDefaults:
            defaults_.Tdefault();
            break;
        case ScriptCommand::PlainCaption:
            plainCaption();
            break;
    }
    return PassFlow::Continue;
}

void ScriptCommands::setBothLabel2Captions(const std::string& text) {
    testo1_.Label2[0].caption = text;
    testo1_.Label2[1].caption = testo1_.Label2[0].caption;
}

void ScriptCommands::sizeLabel2ToCaption() {
    for (Label& caption : testo1_.Label2) {
        caption.geometry.width = state_.captionWidth;
        caption.geometry.height = state_.captionHeight;
    }
}

void ScriptCommands::clearLabel1Captions() {
    testo1_.Label1[0].caption = kBlank;
    testo1_.Label1[1].caption = kBlank;
}

bool ScriptCommands::advanceInBlock() {
    if (state_.currentLine + 1 >= state_.lineCount) return false;
    ++state_.currentLine;
    const DecodedLine& next = state_.scriptLines.decoded(state_.currentLine);
    state_.commandLetter = next.commandLetter;
    state_.lineLength = static_cast<std::int16_t>(next.length);
    return true;
}

}  // namespace quilo
