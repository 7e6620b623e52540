#pragma once
// The display form's own behaviour: the label repaint shared by several
// procedures (AggiornaEtichette) and the mouse presses on the form, its panes
// and its labels, which only switch windows and never touch the presentation.

#include "display/DisplayForm.h"
#include "shared/PanelModel.h"
#include "shared/Presenter.h"
#include "shared/Windows.h"

namespace quilo {

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

class DisplayEvents {
  public:
    DisplayEvents(DisplayForm& testo1, PanelModel& tarvo1, Presenter& presenter, Windows& windows)
        : testo1_(testo1), tarvo1_(tarvo1), presenter_(presenter), windows_(windows) {}

    void AggiornaEtichette();

    // The same for the form, any image pane and any label: the part pressed,
    // the shift state and the position do not matter.
    void Form_MouseDown(int button);

  private:
    DisplayForm& testo1_;
    PanelModel& tarvo1_;
    Presenter& presenter_;
    Windows& windows_;
};

}  // namespace quilo
