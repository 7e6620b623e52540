#include "display/DisplayEvents.h"

namespace quilo {

void DisplayEvents::AggiornaEtichette() {
    presenter_.repaintNow(Repaint::Label2_1);
    presenter_.repaintNow(Repaint::Label1_0);
    presenter_.repaintNow(Repaint::Label1_1);
}

void DisplayEvents::Form_MouseDown(int button) {
    if (button == static_cast<int>(MouseButton::Right)) {
        testo1_.visible = true;
        windows_.bringToFront(Window::testo1);
        AggiornaEtichette();
    }
    if (button == static_cast<int>(MouseButton::Left)) {
        tarvo1_.visible = true;
        windows_.bringToFront(Window::Tarvo1);
        AggiornaEtichette();
    }
}

}  // namespace quilo
