#pragma once
// Small steps that start-up, the user's buttons and the CD's notifications
// all take on the forms; written once so that the three cannot drift apart.

#include <string>

#include "chooser/Chooser.h"
#include "display/Colours.h"
#include "display/DisplayForm.h"
#include "shared/Modulo1.h"
#include "shared/PanelModel.h"

namespace quilo {

inline constexpr const char* kDefaultScript = "c:\\allegato\\nuovo.txt";
inline constexpr const char* kScriptFolder = "\\Allegato";

// The text box back in its corner, empty and hidden.
inline void resetTextBox(DisplayForm& testo1) {
    TextBox& box = testo1.Text1;
    box.geometry = {9000, 7800, 3000, 1100};
    box.text.clear();
    box.visible = false;
}

// The captions and the display take the current text and back colours.
inline void applyCurrentColours(const Modulo1& state, DisplayForm& testo1) {
    const Rgb text = textColour(state);
    const Rgb back = backColour(state);
    for (Label& caption : testo1.Label2) {
        caption.fore = text;
        caption.back = back;
    }
    testo1.backColour = back;
}

// Writes the panel's script path box; its change handler runs as it would for the user.
inline void setText6(PanelModel& tarvo1, Chooser& chooser, const std::string& text) {
    tarvo1.Text6 = text;
    chooser.Text6_Change();
}

}  // namespace quilo
