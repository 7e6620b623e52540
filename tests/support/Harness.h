#pragma once
// The presentation core around whatever CD device the test chooses, with
// hand-written fakes at every other port, over a scratch drive-C folder whose
// "Allegato" folder holds the script. One per test.

#include <string>
#include <vector>

#include "presentation/Presentation.h"
#include "support/CommandFakes.h"
#include "support/DisplayFakes.h"
#include "support/TempDir.h"

namespace quilo::testing {

// Records every dispatch (line index and letter) and hands it on.
class DispatchLog : public CommandTap {
  public:
    PassFlow run(ScriptCommand command, CommandRunner& next) override {
        lines.push_back(state->currentLine);
        letters += state->commandLetter.empty() ? std::string("?") : state->commandLetter;
        return next.run(command);
    }
    const Modulo1* state = nullptr;
    std::vector<int> lines;
    std::string letters;
};

class RecordingExit : public ProgramExit {
  public:
    void quit() override { ++quits; }
    int quits = 0;
};

struct Harness {
    explicit Harness(CdDevice& device) : cd(device) {
        prober.sizes = {{"/photo1.bmp", {640, 480}},
                        {"/photo2.bmp", {300, 600}},
                        {"/sea.bmp", {640, 480}},
                        {"/wide.bmp", {800, 200}}};
        state.scriptPath = (root.path() / "Allegato" / "show.txt").string();
        presenter.watch(testo1);
        log.state = &state;
    }

    // Puts lines into the table as the loader would.
    void script(const std::vector<std::string>& lines) {
        state.scriptLines.clear();
        for (std::size_t i = 0; i < lines.size(); ++i)
            state.scriptLines.assign(static_cast<int>(i), lines[i]);
        state.lineCount = static_cast<int>(lines.size());
        state.resumeLine = 0;
        state.headerLines = {" ", " ", " ", " ", " ", " ", " ", " "};
        int h = 1;
        for (const auto& l : lines) {
            if (trackField(l) == 99 && h != 8) state.headerLines[static_cast<std::size_t>(h++)] = l;
        }
    }

    CdDevice& cd;
    TempDir root;
    FakePictureProber prober;
    RecordingPresenter presenter;
    RecordingWindows windows;
    RecordingSound sound;
    RecordingMessages messages;
    ManualSeconds seconds;
    RecordingExit exit;
    RecordingWarnings warnings;
    DispatchLog log;
    Presentation core{{cd, prober, presenter, windows, sound, messages, seconds, exit, warnings,
                       root.path(), &log}};

    Modulo1& state = core.state();
    DisplayForm& testo1 = core.testo1();
    PanelModel& panel = core.tarvo1();
    ChooserModel& chooserModel = core.chooserModel();
    PlaybackClock& clock = core.clock();
    LineReader& reader = core.reader();
    DisplayDefaults& defaults = core.defaults();
    Player& player = core.player();
};

}  // namespace quilo::testing
