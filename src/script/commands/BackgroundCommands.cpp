// "V" and "W" ("T" and "N" call the display defaults directly).
#include "script/commands/ScriptCommands.h"
#include "shared/LineFormat.h"
#include "shared/NumericField.h"

namespace quilo {

PassFlow ScriptCommands::background() {
    if (tooShortForName()) return PassFlow::Continue;
    state_.backgroundImage = nameBody(line());
    if (state_.backgroundImage == kBlank) return PassFlow::EndPass;
    if (state_.backgroundImage == state_.previousBackground) {
        repaintLabel2_1();
        return PassFlow::Continue;
    }
    if (!testo1_.Text1.text.empty()) {
        testo1_.Text1.geometry.left = 8900;
        testo1_.Text1.visible = true;
        repaintLabel2_1();
    }
    state_.previousBackground = state_.backgroundImage;
    for (int pane : {3, 4}) {
        testo1_.ImgEdit[pane].geometry.top = 0;
        testo1_.ImgEdit[pane].geometry.left = 0;
    }
    state_.fitBoxHeight = state_.firstFitHeight;
    state_.fitBoxWidth = state_.firstFitWidth;
    panes_.CaricaSfondo();
    state_.captionHeight = roundToInt16(state_.fittedHeight);
    state_.captionWidth = roundToInt16(state_.fittedWidth);
    defaults_.sizeBackgroundCaption();
    repaintLabel2_1();
    return PassFlow::Continue;
}

void ScriptCommands::sound() {
    if (tooShortForName()) return;
    state_.soundFile = nameBody(line());
    if (state_.lastSoundFile != state_.soundFile) {
        state_.lastSoundFile = state_.soundFile;
        RiproduciSuono();
    }
    repaintLabel2_1();
}

void ScriptCommands::RiproduciSuono() {
    state_.lastSoundFile = state_.soundFile;
    if (!ports_.sound.play(ports_.files.resolve(state_.soundFile))) ports_.messages.show("Error!");
}

}  // namespace quilo
