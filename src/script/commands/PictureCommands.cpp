// The picture commands "M", "A", "Z", "F" and "R".
#include <cmath>

#include "script/PicturePlacement.h"
#include "script/commands/ScriptCommands.h"
#include "shared/LineFormat.h"
#include "shared/NumericField.h"

namespace quilo {
namespace {

float textBoxLeft(const std::string& letter) {
    if (letter == "F") return 100;
    if (letter == "R") return 6000;
    return 8900;
}

}  // namespace

PassFlow ScriptCommands::picture() {
    const std::string letter = state_.commandLetter;
    if (tooShortForName()) return PassFlow::Continue;
    state_.pictureFile = nameBody(line());
    if (state_.pictureFile == state_.lastPictureFile) return PassFlow::Continue;
    state_.lastPictureFile = state_.pictureFile;

    const int next = state_.currentLine + 1;
    const std::int16_t nextSeconds =
        next < LineTable::kSize ? state_.scriptLines.decoded(next).seconds : 0;
    state_.secondsToNext = secondsBetween(state_.lineSeconds, nextSeconds);
    state_.fitBoxHeight = state_.captionHeight;
    testo1_.ImgEdit[1].geometry.top = 0;
    testo1_.ImgEdit[2].geometry.top = 0;
    clearLabel1Captions();
    sizeLabel2ToCaption();
    if (!testo1_.Text1.text.empty()) {
        testo1_.Text1.geometry.left = textBoxLeft(letter);
        testo1_.Text1.visible = true;
        repaintLabel2_1();
    }
    placePicture(letter);
    repaintLabel2_1();
    return PassFlow::EndPass;
}

void ScriptCommands::placePicture(const std::string& letter) {
    auto loadAt = [this](float left) {
        panes_.CaricaImmagine();
        newPicturePane().geometry.left = left;
        newPictureLabel().geometry.width = static_cast<float>(state_.fittedWidth);
    };

    if (letter == "Z" && state_.secondsToNext <= 0) state_.secondsToNext = 1;
    if (letter == "M" && state_.secondsToNext >= 7) {
        state_.fitBoxWidth = state_.captionWidth;
        state_.zoomFactor = 4;
        panes_.ScorriImmagine();
        newPictureLabel().geometry.width = static_cast<float>(state_.fittedWidth);
    } else if (letter == "M") {
        state_.fitBoxWidth = state_.captionWidth;
        state_.zoomFactor = 4;
        loadAt(0);
    } else if (letter == "Z" && state_.secondsToNext >= 7) {
        testo1_.ImgEdit[2].visible = false;
        testo1_.ImgEdit[1].visible = false;
        state_.fitBoxWidth = state_.captionWidth;
        panes_.IngrandisciImmagine();
        testo1_.Label1[0].geometry.width = static_cast<float>(state_.fittedWidth);
    } else if (letter == "F" || letter == "R") {
        const PicturePlacement place = picturePlacement(letter);
        state_.fitBoxWidth = pictureBoxWidth(letter, state_.captionWidth);
        state_.zoomFactor = place.smallestScale;
        loadAt(place.left);
        panes_.EspandiImmagine();
    } else {  // "A", and "Z" without time for the growth
        state_.fitBoxWidth = state_.captionWidth;
        state_.zoomFactor = 4;
        loadAt(0);
        panes_.EspandiImmagine();
    }
}

}  // namespace quilo
