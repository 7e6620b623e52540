#include "presentation/StartUp.h"

#include "presentation/FormSteps.h"

namespace quilo {

std::optional<std::string> StartUp::Form_Load() {
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
    applyCurrentColours(s, d);
    resetTextBox(d);
    p_.chooserModel.visible = true;
    p_.windows.bringToFront(Window::frmAllegato);
    return std::nullopt;
}

}  // namespace quilo
