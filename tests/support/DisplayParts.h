#pragma once
// The display core's object graph with fakes at its ports: the model, the
// picture panes and the display defaults over a scratch drive-C folder. The
// script's folder is "Allegato", where relative picture names resolve.

#include "display/DisplayDefaults.h"
#include "display/DisplayEvents.h"
#include "display/ImagePanes.h"
#include "support/DisplayFakes.h"
#include "support/TempDir.h"

namespace quilo::testing {

struct DisplayParts {
    DisplayParts() {
        state.scriptPath = (root.path() / "Allegato" / "show.txt").string();
        presenter.watch(testo1);
    }

    TempDir root;
    Modulo1 state;
    DisplayForm testo1;
    PanelModel panel;
    FakePictureProber prober;
    RecordingPresenter presenter;
    RecordingWarnings warnings;
    RecordingWindows windows;
    PathResolver paths{root.path()};
    ScriptFiles files{state, paths};
    ImagePanes panes{state, testo1, prober, presenter, files, warnings};
    DisplayEvents events{testo1, panel, presenter, windows};
    DisplayDefaults defaults{state, testo1, panes, events};
};

}  // namespace quilo::testing
