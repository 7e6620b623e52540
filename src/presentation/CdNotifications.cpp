#include "presentation/CdNotifications.h"

#include "presentation/FormSteps.h"

namespace quilo {

void CdNotifications::onCdEvent(CdEvent event) {
    switch (event) {
        case CdEvent::Done:
            mmcontrol1_Done();
            break;
        case CdEvent::EjectClick:
            mmcontrol1_EjectClick();
            break;
        case CdEvent::EjectCompleted:
            mmcontrol1_EjectCompleted();
            break;
        case CdEvent::PlayCompleted:
            mmcontrol1_PlayCompleted();
            break;
    }
}

void CdNotifications::mmcontrol1_Done() {
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
    resetTextBox(p_.testo1);
    p_.events.AggiornaEtichette();
}

void CdNotifications::mmcontrol1_EjectClick() {
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

void CdNotifications::mmcontrol1_EjectCompleted() {
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
        setText6(p_.tarvo1, p_.chooser, kDefaultScript);
    }
}

void CdNotifications::mmcontrol1_PlayCompleted() {
    p_.clock.enabled = p_.state.presentationActive == 1;
    p_.events.AggiornaEtichette();
    p_.tarvo1.visible = false;
}

}  // namespace quilo
