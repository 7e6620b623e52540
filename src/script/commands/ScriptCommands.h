#pragma once
// Every command a due line can run, dispatched by the reader. Each works on
// the line at `currentLine` and the module-wide state, changes the display
// model, and either continues the pass or ends it at its own line. Commands
// that read a block of lines leave `currentLine` on the block's last line.
//
// A block without its closing line ends at the last line loaded from the
// file: nothing ever reads past the script.

#include <string>

#include "display/Colours.h"
#include "display/DisplayDefaults.h"
#include "display/DisplayForm.h"
#include "display/ImagePanes.h"
#include "script/ScriptCommand.h"
#include "shared/CdDevice.h"
#include "shared/MessageBox.h"
#include "shared/Modulo1.h"
#include "shared/Presenter.h"
#include "shared/ScriptFiles.h"
#include "shared/SecondsClock.h"
#include "shared/SoundPlayer.h"

namespace quilo {

struct CommandPorts {
    CdDevice& cd;
    Presenter& presenter;
    SoundPlayer& sound;
    MessageBox& messages;
    SecondsClock& seconds;
    const ScriptFiles& files;
};

class ScriptCommands : public CommandRunner {
  public:
    ScriptCommands(Modulo1& state, DisplayForm& testo1, DisplayDefaults& defaults,
                   ImagePanes& panes, CommandPorts ports)
        : state_(state), testo1_(testo1), defaults_(defaults), panes_(panes), ports_(ports) {}

    PassFlow run(ScriptCommand command) override;

    void RiproduciSuono();

  private:
    // caption commands
    void textColourCaption();
    void backColourCaption();
    void closingCaption();
    void addLine();
    void plainCaption();
    // background, sound, defaults
    PassFlow background();
    void sound();
    // pauses and blocks
    void pause();
    void captionBlock();
    void pictureText();
    void textColumn();
    // pictures
    PassFlow picture();
    void placePicture(const std::string& letter);

    // Reads the rest of a text block into `target`, calling `afterLine` after
    // each line.
    template <typename AfterLine>
    void readBlock(std::string& target, AfterLine afterLine);
    // Moves to the next line of a block; false at the last line loaded.
    bool advanceInBlock();

    const std::string& line() const { return state_.scriptLines[state_.currentLine]; }
    // Whether the line is too short to hold the file name its letter needs
    // (a line of exactly the shortest length names the empty file).
    bool tooShortForName() const {
        return state_.scriptLines.decoded(state_.currentLine).length <
               traitsFor(state_.commandLetter).shortest;
    }
    void repaintLabel2_1() { ports_.presenter.repaintNow(Repaint::Label2_1); }
    void setBothLabel2Captions(const std::string& text);
    void sizeLabel2ToCaption();
    void clearLabel1Captions();
    ImagePane& newPicturePane() { return testo1_.ImgEdit[state_.picturePane == 1 ? 1 : 2]; }
    Label& newPictureLabel() { return testo1_.Label1[state_.picturePane == 1 ? 0 : 1]; }

    Modulo1& state_;
    DisplayForm& testo1_;
    DisplayDefaults& defaults_;
    ImagePanes& panes_;
    CommandPorts ports_;
};

}  // namespace quilo
