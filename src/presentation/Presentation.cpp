#include "presentation/Presentation.h"

#include <algorithm>

#include "presentation/CueJumps.h"
#include "shared/LineFormat.h"

namespace quilo {

// Everything whose effect only makes sense live goes through the rehearsal
// switch; the rest reaches the ports directly.
Presentation::Presentation(PresentationPorts p)
    : live_(p.cd, p.sounds, p.messages, p.presenter),
      paths_(p.root),
      readout_(state_, live_, tarvo1_),
      panes_(state_, testo1_, p.pictures, live_, files_, p.warnings),
      events_(testo1_, tarvo1_, live_, p.windows),
      commands_(state_, testo1_, defaults_, panes_,
                {live_, live_, live_, live_, p.seconds, files_}),
      tapped_(commands_, p.tap),
      clock_(state_, tarvo1_, live_, reader_, p.seconds),
      chooser_(chooserModel_, state_, tarvo1_, paths_, p.warnings),
      startUp_({state_, testo1_, tarvo1_, chooserModel_, chooser_, live_, readout_, colours_,
                clock_, p.windows}),
      player_({state_, testo1_, tarvo1_, chooserModel_, chooser_, live_, defaults_, loader_, clock_,
               live_, p.windows, p.exit}),
      cdNotifications_({state_, testo1_, tarvo1_, chooser_, live_, readout_, events_, clock_}) {}

// Seconds of a track on the disc, its last partial second included.
int Presentation::trackSeconds(int track) {
    live_.setTrack(track);
    const std::uint32_t msf = live_.trackLength();
    return static_cast<int>((msf & 255u) * 60 + ((msf >> 8) & 255u)) + 1;
}

// One pass of the reader for each second, as live play gives it at least one
// tick a second: further ticks within a second run nothing more.
bool Presentation::catchUpTo(const CdPosition& target) {
    const int firstTrack = std::max(1, static_cast<int>(trackField(state_.scriptLines[0])));
    const int lastSecond = target.minutes * 60 + target.seconds;
    live_.start();
    for (int track = firstTrack; track <= target.track && !live_.stopped(); ++track) {
        const int seconds = track < target.track ? trackSeconds(track) : lastSecond + 1;
        for (int second = 0; second < seconds && !live_.stopped(); ++second) {
            live_.at({track, second / 60, second % 60, 0});
            reader_.LeggiRiga();
            if (state_.pauseActive == 1) {  // skipped: the disc's time is what counts
                state_.pauseActive = 0;
                state_.pauseSeconds = 0;
                state_.elapsedSeconds = 0;
            }
        }
    }
    live_.end();
    return !live_.stopped();
}

void Presentation::markShowStart() {
    showStart_ = ShowStart{state_, testo1_};
}

bool Presentation::jumpTo(const CdPosition& target) {
    if (showStart_) {
        state_ = showStart_->state;
        testo1_ = showStart_->form;
    }
    return catchUpTo(target);
}

std::vector<CdPosition> Presentation::cueSeconds() const {
    std::vector<CdPosition> cues;
    for (int i = 0; i < state_.lineCount && i < LineTable::kSize; ++i) {
        const DecodedLine& line = state_.scriptLines.decoded(i);
        if (line.track < 1 || line.track == 99 || line.minutes < 0 || line.seconds < 0) continue;
        cues.push_back({line.track, line.minutes, line.seconds, 0});
    }
    const auto order = [](const CdPosition& a, const CdPosition& b) {
        return discOrder(a) < discOrder(b);
    };
    std::sort(cues.begin(), cues.end(), order);
    cues.erase(std::unique(cues.begin(), cues.end()), cues.end());
    return cues;
}

std::optional<std::string> Presentation::reloadScript(const CdPosition& target) {
    Modulo1 fresh;
    fresh.scriptPath = state_.scriptPath;
    ScriptLoader loader(fresh, paths_);
    loader.useText(loader_.text());
    if (auto refused = loader.MemorizzaLetturaRiga()) return refused->message;
    if (!showStart_) markShowStart();
    showStart_->state.scriptLines = std::move(fresh.scriptLines);
    showStart_->state.lineCount = fresh.lineCount;
    showStart_->state.headerLines = fresh.headerLines;
    state_ = showStart_->state;
    testo1_ = showStart_->form;
    defaults_.Tdefault();  // the header may have changed its colours or picture
    markShowStart();
    catchUpTo(target);
    return std::nullopt;
}

}  // namespace quilo
