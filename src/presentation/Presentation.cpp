#include "presentation/Presentation.h"

namespace quilo {

Presentation::Presentation(PresentationPorts p)
    : paths_(p.root),
      readout_(state_, p.cd, tarvo1_),
      panes_(state_, testo1_, p.pictures, p.presenter, files_, p.warnings),
      events_(testo1_, tarvo1_, p.presenter, p.windows),
      commands_(state_, testo1_, defaults_, panes_,
                {p.cd, p.presenter, p.sounds, p.messages, p.seconds, files_}),
      tapped_(commands_, p.tap),
      clock_(state_, tarvo1_, p.cd, reader_, p.seconds),
      chooser_(chooserModel_, state_, tarvo1_, paths_, p.warnings),
      startUp_({state_, testo1_, tarvo1_, chooserModel_, chooser_, p.cd, readout_, colours_, clock_,
                p.windows}),
      player_({state_, testo1_, tarvo1_, chooserModel_, chooser_, p.cd, defaults_, loader_, clock_,
               p.messages, p.windows, p.exit}),
      cdNotifications_({state_, testo1_, tarvo1_, chooser_, p.cd, readout_, events_, clock_}) {}

}  // namespace quilo
