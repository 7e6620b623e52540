#include "presentation/Player.h"

#include "presentation/FormSteps.h"
#include "shared/LineFormat.h"

namespace quilo {

void Player::setText6(const std::string& text) {
    quilo::setText6(p_.tarvo1, p_.chooser, text);
}

void Player::Command7_Click() {
    resetTextBox(p_.testo1);
    p_.chooserModel.visible = true;
    p_.windows.bringToFront(Window::frmAllegato);
    p_.cd.command(CdCommand::Stop);
    p_.testo1.Label2[0].caption = kBlank;
    p_.testo1.Label2[1].caption = kBlank;
    p_.state.captionWidth = kDisplayWidth;
    p_.state.captionHeight = kDisplayHeight;
    p_.defaults.FondoNormale();
    p_.testo1.ImgEdit[1].visible = false;
    p_.testo1.ImgEdit[2].visible = false;
    p_.chooserModel.lettoreEnabled = true;
    p_.chooser.refresh();
}

void Player::displayClosed() {
    Command7_Click();
    p_.testo1.visible = false;
}

void Player::Command1_Click() {
    Modulo1& s = p_.state;
    for (Label& caption : p_.testo1.Label1) caption.caption = kBlank;
    for (Label& caption : p_.testo1.Label2) caption.caption = kBlank;
    s.captionWidth = kDisplayWidth;
    s.captionHeight = kDisplayHeight;
    p_.defaults.FondoNormale();
    p_.chooserModel.lettoreEnabled = false;
    s.presentationActive = 1;
    s.pauseActive = 0;
    s.clockStart = 0;
    s.pauseSeconds = 0;
    s.scriptLines.clear();
    s.lineCount = 0;
    for (int i = 1; i <= 7; ++i) s.headerLines[static_cast<std::size_t>(i)] = kBlank;
    s.scriptPath = p_.tarvo1.Text6;

    if (s.scriptPath == kBlank || s.scriptPath.empty()) {
        setText6(kDefaultScript);
        refuse();
        return;
    }
    if (s.scriptPath.size() < 3 || s.scriptPath.compare(s.scriptPath.size() - 3, 3, "txt") != 0) {
        refuse();
        return;
    }
    // The script is read whole here, before the CD moves: a script that cannot
    // be played is refused with its reason and nothing else changes.
    if (auto error = p_.loader.MemorizzaLetturaRiga()) {
        p_.messages.show(error->message);
        refuse();
        return;
    }
    const std::int16_t startTrack = trackField(s.scriptLines[0]);
    p_.clock.enabled = true;
    p_.cd.setTo(startTrack);
    // A playing disc plays on from there; a paused one, or one stopped at
    // its end, stands there.
    p_.cd.command(CdCommand::Seek);
    p_.tarvo1.enabled = true;
    applyCurrentColours(s, p_.testo1);
    s.resumeLine = 0;
    p_.testo1.visible = false;
    p_.defaults.Tdefault();
    p_.chooserModel.visible = false;
    p_.testo1.visible = true;
    p_.windows.bringToFront(Window::testo1);
    p_.tarvo1.visible = true;
    p_.windows.bringToFront(Window::Tarvo1);
}

}  // namespace quilo
