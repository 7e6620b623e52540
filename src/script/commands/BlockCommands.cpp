// The pause commands "S" and "P" with their caption block, and the text
// blocks of "+", "D", "K" and "-".
#include "script/commands/ScriptCommands.h"
#include "shared/LineFormat.h"

namespace quilo {

template <typename AfterLine>
void ScriptCommands::readBlock(std::string& target, AfterLine afterLine) {
    const std::string_view closing = traitsFor(state_.commandLetter).closedBy;
    do {
        if (!advanceInBlock()) return;
        target += "\r\n";
        target += state_.commandLetter == closing ? withoutLastCharacter(line()) : line();
        afterLine();
    } while (state_.commandLetter != closing);
}

void ScriptCommands::pause() {
    testo1_.Text1.visible = false;
    repaintLabel2_1();
    testo1_.ImgEdit[1].visible = false;
    testo1_.ImgEdit[2].visible = false;
    sizeLabel2ToCaption();
    const ColouredText body = colouredTextBody(line());
    setBothLabel2Captions(body.text);
    state_.pauseSeconds = body.number.value_or(0);
    state_.pauseActive = 1;
    ports_.cd.command(CdCommand::Pause);
    clearLabel1Captions();
    const std::string_view closedBy = traitsFor(state_.commandLetter).closedBy;
    if (closedBy.empty()) return;

    state_.clockStart = ports_.seconds.secondsSinceMidnight();
    while (advanceInBlock()) {
        const bool closing = state_.commandLetter == closedBy;
        testo1_.Label2[0].caption += "\r\n";
        testo1_.Label2[0].caption += closing ? withoutLastCharacter(line()) : line();
        testo1_.Label2[1].caption = testo1_.Label2[0].caption;
        if (closing) break;
    }
}

void ScriptCommands::captionBlock() {
    testo1_.Text1.visible = false;
    repaintLabel2_1();
    testo1_.ImgEdit[1].visible = false;
    testo1_.ImgEdit[2].visible = false;
    sizeLabel2ToCaption();
    setBothLabel2Captions(nameBody(line()));
    state_.pauseActive = 0;
    clearLabel1Captions();
    readBlock(testo1_.Label2[0].caption,
              [this] { testo1_.Label2[1].caption = testo1_.Label2[0].caption; });
}

void ScriptCommands::pictureText() {
    testo1_.Text1.visible = false;
    repaintLabel2_1();
    testo1_.Text1.text = nameBody(line());
    readBlock(testo1_.Text1.text, [] {});
    testo1_.Text1.geometry.top = 7800;
    testo1_.Text1.geometry.height = 1100;
    testo1_.Text1.geometry.width = 3000;
}

void ScriptCommands::textColumn() {
    testo1_.Text1.visible = false;
    repaintLabel2_1();
    testo1_.Text1.text = nameBody(line());
    if (!traitsFor(state_.commandLetter).closedBy.empty()) readBlock(testo1_.Text1.text, [] {});
    testo1_.Text1.geometry = {7000, 100, 4000, 8000};
    testo1_.Text1.visible = true;
    repaintLabel2_1();
}

}  // namespace quilo
