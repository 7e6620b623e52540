#pragma once
// Stands between the core and the ports whose effects only make sense live:
// the CD, the sounds, the message boxes and the screen. Normally it hands
// everything on. While rehearsing (catching a show up to a place on the disc),
// the CD is a virtual one standing where it is told and deaf to commands, no
// sound plays, no box opens and no frame is shown, so that every transition
// lands on its last step at once.

#include "shared/CdDevice.h"
#include "shared/CdPosition.h"
#include "shared/MessageBox.h"
#include "shared/Presenter.h"
#include "shared/SoundPlayer.h"

namespace quilo {

class Rehearsal : public CdDevice, public SoundPlayer, public MessageBox, public Presenter {
  public:
    Rehearsal(CdDevice& cd, SoundPlayer& sounds, MessageBox& messages, Presenter& presenter)
        : cd_(cd), sounds_(sounds), messages_(messages), presenter_(presenter) {}

    void start() {
        rehearsing_ = true;
        stopped_ = false;
    }
    void end() { rehearsing_ = false; }
    // Where the virtual CD stands.
    void at(const CdPosition& position) { at_ = position; }
    // Whether the show stopped the CD while rehearsing: it ended there.
    bool stopped() const { return stopped_; }

    // --- CdDevice: the table of contents is the real disc's ---
    void command(CdCommand c) override {
        if (!rehearsing_) return cd_.command(c);
        if (c == CdCommand::Stop) stopped_ = true;
    }
    void setTimeFormat(int format) override {
        if (!rehearsing_) cd_.setTimeFormat(format);
    }
    std::uint32_t position() const override { return rehearsing_ ? at_.packed() : cd_.position(); }
    int tracks() const override { return cd_.tracks(); }
    void setTrack(int track) override { cd_.setTrack(track); }
    std::uint32_t trackLength() const override { return cd_.trackLength(); }
    std::uint32_t trackPosition() const override { return cd_.trackPosition(); }
    void setTo(std::int32_t target) override {
        if (!rehearsing_) cd_.setTo(target);
    }

    // --- the others ---
    bool play(const std::string& file) override { return rehearsing_ || sounds_.play(file); }
    void show(const std::string& text) override {
        if (!rehearsing_) messages_.show(text);
    }
    void repaintNow(Repaint what) override {
        if (!rehearsing_) presenter_.repaintNow(what);
    }
    void showTransitionFrame() override {
        if (!rehearsing_) presenter_.showTransitionFrame();
    }

  private:
    CdDevice& cd_;
    SoundPlayer& sounds_;
    MessageBox& messages_;
    Presenter& presenter_;
    bool rehearsing_ = false;
    bool stopped_ = false;
    CdPosition at_;
};

}  // namespace quilo
