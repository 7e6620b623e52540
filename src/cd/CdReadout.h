#pragma once
// The only reader of the CD device's position and table of contents, so that
// the variables the line reader compares and the panel's boxes the operator
// watches can never disagree about where the disc is.

#include "shared/CdDevice.h"
#include "shared/Modulo1.h"
#include "shared/PanelModel.h"

namespace quilo {

class CdReadout {
  public:
    CdReadout(Modulo1& state, CdDevice& device, PanelModel& panel)
        : state_(state), device_(device), panel_(panel) {}

    void AggiornaPosizioneCd();
    void LetturaCodiceCd();

  private:
    Modulo1& state_;
    CdDevice& device_;
    PanelModel& panel_;
};

}  // namespace quilo
