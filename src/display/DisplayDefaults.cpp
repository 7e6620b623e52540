#include "display/DisplayDefaults.h"

#include "display/Colours.h"
#include "shared/LineFormat.h"
#include "shared/NumericField.h"
#include "shared/Utf8.h"

namespace quilo {

std::string headerBackgroundName(const std::string& entry) {
    const std::string name = nameBody(entry);
    // An entry with no room for a name, or an empty one, names no picture.
    return name.empty() ? std::string(kBlank) : name;
}

void DisplayDefaults::coloursFromHeader() {
    for (std::size_t i = 1; i <= 6; ++i) {
        state_.colourTable[i] = numericField16(utf8::right(state_.headerLines[i], 3));
    }
    takeColoursFromTable(state_);
    const Rgb back = backColour(state_);
    const Rgb text = textColour(state_);
    testo1_.Label2[0].back = back;
    testo1_.Label2[1].back = back;
    testo1_.backColour = back;
    testo1_.Label2[0].fore = text;
    testo1_.Label2[1].fore = text;
}

void DisplayDefaults::sizeBackgroundCaption() {
    Label& caption = testo1_.Label2[state_.backgroundPane == 0 ? 0 : 1];
    caption.geometry.width = state_.captionWidth;
    caption.geometry.height = state_.captionHeight;
    caption.backStyle = kTransparent;
}

void DisplayDefaults::Tdefault() {
    coloursFromHeader();
    state_.backgroundImage = headerBackgroundName(state_.headerLines[7]);
    if (state_.backgroundImage == kBlank || state_.backgroundImage == state_.previousBackground) {
        return;
    }
    state_.backgroundPane = 0;
    state_.previousBackground = state_.backgroundImage;
    for (int pane : {3, 4}) {
        testo1_.ImgEdit[pane].geometry.top = 0;
        testo1_.ImgEdit[pane].geometry.left = 0;
    }
    state_.fitBoxHeight = kDisplayHeight;
    state_.fitBoxWidth = kDisplayWidth;
    panes_.CaricaSfondo();
    state_.firstFitHeight = roundToInt16(state_.fittedHeight);
    state_.firstFitWidth = roundToInt16(state_.fittedWidth);
    state_.captionHeight = roundToInt16(state_.fittedHeight);
    state_.captionWidth = roundToInt16(state_.fittedWidth);
    sizeBackgroundCaption();
    state_.backgroundPane = state_.backgroundPane == 0 ? 1 : 0;
    events_.AggiornaEtichette();

    state_.fitBoxHeight = state_.firstFitHeight;
    state_.fitBoxWidth = state_.firstFitWidth;
    panes_.CaricaSfondo();
    state_.captionHeight = roundToInt16(state_.fittedHeight);
    state_.captionWidth = roundToInt16(state_.fittedWidth);
    sizeBackgroundCaption();
}

void DisplayDefaults::FondoNormale() {
    state_.backgroundImage = kBlank;
    state_.previousBackground = state_.backgroundImage;
    testo1_.ImgEdit[3].visible = false;
    testo1_.ImgEdit[4].visible = false;
    const Rgb text = textColour(state_);
    for (Label& caption : testo1_.Label2) {
        caption.fore = text;
        caption.backStyle = kOpaque;
        caption.geometry.width = kDisplayWidth;
        caption.geometry.height = kDisplayHeight;
    }
    testo1_.ImgEdit[4].visible = true;
    testo1_.ImgEdit[3].visible = true;
    for (int pane : {3, 4}) {
        testo1_.ImgEdit[pane].geometry.width = kDisplayWidth;
        testo1_.ImgEdit[pane].geometry.height = kDisplayHeight;
    }
}

}  // namespace quilo
