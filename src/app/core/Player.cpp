#include "app/core/Player.h"

#include "shared/LineFormat.h"

namespace quilo {

void Player::setText6(const std::string& text) {
    p_.tarvo1.Text6 = text;
    Text6_Change();
}

void Player::resetTextBox() {
    TextBox& box = p_.testo1.Text1;
    box.geometry = {9000, 7800, 3000, 1100};
    box.text.clear();
    box.visible = false;
}

void Player::applyCurrentColours() {
    const Rgb text = textColour(p_.state);
    const Rgb back = backColour(p_.state);
    for (Label& caption : p_.testo1.Label2) {
        caption.fore = text;
        caption.back = back;
    }
    p_.testo1.backColour = back;
}

std::optional<std::string> Player::Form_Load() {
    Modulo1& s = p_.state;
    DisplayForm& d = p_.testo1;
    p_.tarvo1.visible = false;
    p_.clock.enabled = false;
    d.ImgEdit[1].visible = false;
    d.ImgEdit[2].visible = false;
    d.ImgEdit[3].visible = true;
    d.ImgEdit[4].visible = true;
    d.Label2[0].backStyle = kOpaque;
    d.Label2[1].backStyle = kOpaque;
    for (int pane = 1; pane <= 4; ++pane) d.ImgEdit[pane].geometry.top = 0;

    s.captionWidth = kDisplayWidth;
    s.captionHeight = kDisplayHeight;
    s.lastPictureFile = "n";
    s.previousBackground = "n";
    s.pictureFile.clear();
    s.backgroundImage.clear();
    s.picturePane = 0;
    s.backgroundPane = 0;

    p_.chooser.Drive1_Change(kDataDrive);
    p_.chooser.setDirPath(kScriptFolder);
    p_.chooser.refresh();

    s.lastCueTime = 99;
    s.pauseActive = 0;
    p_.cd.command(CdCommand::Open);
    p_.cd.setTimeFormat(kTimeFormatTmsf);
    p_.readout.LetturaCodiceCd();
    p_.readout.AggiornaPosizioneCd();
    if (auto error = p_.colours.CaricaColori()) return error->message;
    applyCurrentColours();
    resetTextBox();
    p_.chooserModel.visible = true;
    p_.windows.bringToFront(Window::frmAllegato);
    return std::nullopt;
}

void Player::Command7_Click() {
    resetTextBox();
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

void Player::refuse() {
    p_.chooserModel.lettoreEnabled = true;
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
    p_.cd.command(CdCommand::Stop);
    p_.cd.command(CdCommand::Seek);
    p_.tarvo1.enabled = true;
    applyCurrentColours();
    s.resumeLine = 0;
    p_.testo1.visible = false;
    p_.defaults.Tdefault();
    p_.chooserModel.visible = false;
    p_.testo1.visible = true;
    p_.windows.bringToFront(Window::testo1);
    p_.tarvo1.visible = true;
    p_.windows.bringToFront(Window::Tarvo1);
}

void Player::mmcontrol1_Done() {
    Modulo1& s = p_.state;
    const Rgb text = textColour(s);
    p_.testo1.Label2[0].fore = text;
    p_.testo1.Label2[1].fore = text;
    p_.clock.enabled = s.presentationActive == 1;
    s.picturePane = s.picturePane == 0 ? 1 : 0;
    p_.testo1.ImgEdit[1].visible = false;
    p_.testo1.ImgEdit[2].visible = false;
    s.commandLetter = kBlank;
    s.lastPictureFile = kBlank;
    s.previousBackground = kBlank;
    s.lastSoundFile = kBlank;
    for (Label& caption : p_.testo1.Label1) caption.caption = kBlank;
    s.clockStart = 0;
    s.pauseSeconds = 0;
    resetTextBox();
    p_.events.AggiornaEtichette();
}

void Player::mmcontrol1_EjectClick() {
    p_.clock.enabled = false;
    p_.testo1.Label2[0].caption = kBlank;
    p_.testo1.Label2[1].caption = kBlank;
    p_.testo1.Label1[0].caption = kBlank;
    p_.testo1.Label1[1].caption = kBlank;
    const Rgb text = textColour(p_.state);
    p_.testo1.Label2[0].fore = text;
    p_.testo1.Label2[1].fore = text;
    p_.state.resumeLine = 0;
    p_.events.AggiornaEtichette();
}

void Player::mmcontrol1_EjectCompleted() {
    Modulo1& s = p_.state;
    p_.clock.enabled = false;
    p_.cd.command(CdCommand::Open);
    p_.cd.setTimeFormat(kTimeFormatTmsf);
    p_.readout.LetturaCodiceCd();
    p_.readout.AggiornaPosizioneCd();
    if (s.scriptPath != kBlank && !s.scriptPath.empty()) {
        s.scriptPath = p_.tarvo1.Text6;
        s.presentationActive = 0;
        s.resumeLine = 0;
        p_.events.AggiornaEtichette();
    } else {
        setText6(kDefaultScript);
    }
}

void Player::mmcontrol1_PlayCompleted() {
    p_.clock.enabled = p_.state.presentationActive == 1;
    p_.events.AggiornaEtichette();
    p_.tarvo1.visible = false;
}

}  // namespace quilo
