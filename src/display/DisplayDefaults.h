#pragma once
// Puts the display form into a known state: the presentation's own defaults
// from the script header (Tdefault: colours and a background picture in both
// background panes) or the plain background (FondoNormale).

#include "display/DisplayEvents.h"
#include "display/DisplayForm.h"
#include "display/ImagePanes.h"
#include "shared/Modulo1.h"

namespace quilo {

class DisplayDefaults {
  public:
    DisplayDefaults(Modulo1& state, DisplayForm& testo1, ImagePanes& panes, DisplayEvents& events)
        : state_(state), testo1_(testo1), panes_(panes), events_(events) {}

    void Tdefault();
    void FondoNormale();

    // The caption of the background pane chosen by backgroundPane takes the
    // caption size and lets the picture show through.
    void sizeBackgroundCaption();

  private:
    void coloursFromHeader();

    Modulo1& state_;
    DisplayForm& testo1_;
    ImagePanes& panes_;
    DisplayEvents& events_;
};

// The background picture named by header entry 7 (characters 9 to L-1); a blank
// for an entry too short to name one.
std::string headerBackgroundName(const std::string& entry);

}  // namespace quilo
