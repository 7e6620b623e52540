#pragma once
// The script core's whole object graph with hand-written fakes at its ports,
// around whatever CD device the test chooses. One per test.

#include <string>
#include <vector>

#include "app/core/PlaybackClock.h"
#include "app/core/Player.h"
#include "cd/CdReadout.h"
#include "display/DisplayDefaults.h"
#include "display/DisplayEvents.h"
#include "display/ImagePanes.h"
#include "script/LineReader.h"
#include "script/commands/ScriptCommands.h"
#include "support/CommandFakes.h"
#include "support/DisplayParts.h"

namespace quilo::testing {

// Records every dispatch (line index and letter) and hands it on.
class DispatchLog : public CommandRunner {
  public:
    DispatchLog(Modulo1& state, CommandRunner& next) : state_(state), next_(next) {}
    PassFlow run(ScriptCommand command) override {
        lines.push_back(state_.currentLine);
        letters += state_.commandLetter.empty() ? std::string("?") : state_.commandLetter;
        return next_.run(command);
    }
    std::vector<int> lines;
    std::string letters;

  private:
    Modulo1& state_;
    CommandRunner& next_;
};

class RecordingExit : public ProgramExit {
  public:
    void quit() override { ++quits; }
    int quits = 0;
};

struct Harness : DisplayParts {
    explicit Harness(CdDevice& device) : cd(device) {
        prober.sizes = {{"/photo1.bmp", {640, 480}},
                        {"/photo2.bmp", {300, 600}},
                        {"/sea.bmp", {640, 480}},
                        {"/wide.bmp", {800, 200}}};
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
    RecordingSound sound;
    RecordingMessages messages;
    ManualSeconds seconds;
    ScriptCommands commands{
        state, testo1, defaults, panes, {cd, presenter, sound, messages, seconds, files}};
    DispatchLog log{state, commands};
    CdReadout readout{state, cd, panel};
    LineReader reader{state, testo1, readout, log};
    PlaybackClock clock{state, panel, cd, reader, seconds};
    // the program around the script core
    ChooserModel chooserModel;
    Chooser chooser{chooserModel, state, panel, paths, warnings};
    ColourTable colours{state, paths};
    ScriptLoader loader{state, paths};
    RecordingExit exit;
    Player player{{state, testo1, panel, chooserModel, chooser, cd, readout, colours, defaults,
                   events, loader, clock, messages, windows, exit}};
};

}  // namespace quilo::testing
