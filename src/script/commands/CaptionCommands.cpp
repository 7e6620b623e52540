// "C", "B", "E", "L" and the plain-text caption.
#include "script/commands/ScriptCommands.h"
#include "shared/LineFormat.h"

namespace quilo {

void ScriptCommands::textColourCaption() {
    testo1_.Text1.visible = false;
    const ColouredText body = colouredTextBody(line());
    if (body.number) {
        // A number that names no colour leaves the colour as it was.
        const auto colour =
            *body.number == 99 ? std::optional(textColour(state_)) : colourNumber(*body.number);
        if (colour) {
            testo1_.Label2[0].fore = *colour;
            testo1_.Label2[1].fore = *colour;
        }
    }
    setBothLabel2Captions(body.text);
}

void ScriptCommands::backColourCaption() {
    testo1_.Text1.visible = false;
    const ColouredText body = colouredTextBody(line());
    if (body.number) {
        const auto colour =
            *body.number == 99 ? std::optional(backColour(state_)) : colourNumber(*body.number);
        if (colour) {
            testo1_.Label2[0].back = *colour;
            testo1_.Label2[1].back = *colour;
            testo1_.backColour = *colour;
        }
    }
    setBothLabel2Captions(body.text);
}

void ScriptCommands::closingCaption() {
    testo1_.Text1.visible = false;
    const ColouredText body = colouredTextBody(line());
    setBothLabel2Captions(body.text);
    if (body.number) {
        if (const auto colour = colourNumber(*body.number)) {
            testo1_.Label2[0].fore = *colour;
            testo1_.Label2[1].fore = *colour;
        }
    }
    ports_.cd.command(CdCommand::Stop);
    sizeLabel2ToCaption();
}

void ScriptCommands::addLine() {
    const ColouredText body = colouredTextBody(line());
    for (Label& caption : testo1_.Label1) caption.caption += "\r\n" + body.text;
    if (body.number) {
        if (const auto colour = colourNumber(*body.number)) {
            testo1_.Label1[0].fore = *colour;
            testo1_.Label1[1].fore = *colour;
        }
    }
    repaintLabel2_1();
}

void ScriptCommands::plainCaption() {
    testo1_.ImgEdit[1].visible = false;
    testo1_.ImgEdit[2].visible = false;
    testo1_.Text1.visible = false;
    testo1_.Text1.text.clear();
    setBothLabel2Captions(plainTextBody(line()));
    state_.commandLetter = kBlank;
    state_.lastPictureFile = kBlank;
    state_.previousBackground = kBlank;
    state_.lastSoundFile = kBlank;
    clearLabel1Captions();
    repaintLabel2_1();
}

}  // namespace quilo
