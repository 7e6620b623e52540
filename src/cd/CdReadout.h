#pragma once
// Reads the CD device into the program's variables: the decoded playing
// position (AggiornaPosizioneCd) and the disc code (LetturaCodiceCd), both
// mirrored in the player panel's boxes.

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
