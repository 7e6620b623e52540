#include "studio/app/StudioShow.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QScreen>
#include <QThread>

#include "cd/SilentDisc.h"
#include "cd/io/DiscSources.h"
#include "presentation/CueJumps.h"
#include "shared/LineFormat.h"

namespace quilo {
namespace {

constexpr int kTickMs = 10;       // while playing: the clock's ticks and the playhead
constexpr int kIdleTickMs = 100;  // otherwise
constexpr int kSilentTailSeconds = 60;

// Without a disc: a silent track for each track the script names, a minute
// past its last cue.
std::vector<std::int32_t> silentTracksFor(const std::vector<std::string>& lines) {
    std::vector<int> lastSecond(1, 0);
    for (const std::string& line : lines) {
        const DecodedLine d = decodeLine(line);
        if (d.track < 1 || d.track > 98) continue;
        if (lastSecond.size() < std::size_t(d.track)) lastSecond.resize(std::size_t(d.track), 0);
        lastSecond[std::size_t(d.track - 1)] =
            std::max(lastSecond[std::size_t(d.track - 1)], d.minutes * 60 + d.seconds);
    }
    std::vector<std::int32_t> sectors;
    for (int seconds : lastSecond)
        sectors.push_back((seconds + kSilentTailSeconds) * kSectorsPerSecond);
    return sectors;
}

}  // namespace

StudioShow::StudioShow(const StudioOptions& options, StudioWindow& window, StatusPorts& status)
    : options_(options),
      window_(window),
      status_(status),
      audio_(options_.audio ? *options_.audio : realAudio_),
      cd_([this] { return openDisc(); }, audio_),
      presenter_(window.preview()),
      core_({cd_, prober_, presenter_, status_, sound_, status_, seconds_, status_, status_,
             options_.root}),
      peaks_([this] { return openDisc(); }) {
    window_.preview().setModel(core_.testo1());
    cd_.setEventSink([this](CdEvent event) {
        QMetaObject::invokeMethod(
            this, [this, event] { core_.onCdEvent(event); }, Qt::QueuedConnection);
    });
    if (!options_.audio) streamer_ = std::make_unique<CdStreamer>(cd_);
    connect(&ticker_, &QTimer::timeout, this, [this] { tick(); });
    connect(&peaks_, &PeakReader::peaks, &window_.timeline(), &TimelineView::addPeaks);
    connect(&peaks_, &PeakReader::finished, this, [this](double seconds) {
        window_.setStatus(QStringLiteral("Forma d'onda letta in %1 s").arg(seconds, 0, 'f', 1));
    });
}

StudioShow::~StudioShow() {
    peaks_.stop();
    if (streamer_) streamer_->stop();
}

void StudioShow::startSound() {
    if (streamer_) streamer_->start();
}

std::unique_ptr<DiscSource> StudioShow::openDisc() {
    if (options_.openDisc) return options_.openDisc();
    if (!options_.tracks.empty()) {
        std::vector<std::int32_t> sectors;
        for (int s : options_.tracks)
            sectors.push_back(std::clamp(s, 1, 100 * 60) * kSectorsPerSecond);
        return std::make_unique<SilentDisc>(sectors);
    }
    if (!options_.disc.empty()) {
        std::string error;
        if (auto source = openDiscSource(options_.disc, error)) return source;
        // Said once, from the interface thread (the waveform's workers open it too).
        if (QThread::currentThread() == thread() && !saidNoDisc_) {
            saidNoDisc_ = true;
            status_.warn(error + "; la linea del tempo segue i tempi del copione, in silenzio");
        }
    }
    const std::lock_guard lock(silentMutex_);
    return std::make_unique<SilentDisc>(silentSectors_);
}

// Whether the studio plays a disc with sound: without one there is no
// waveform to read.
bool StudioShow::hasSound() const {
    return options_.openDisc || (!options_.disc.empty() && !saidNoDisc_);
}

// Starts the show on the document as "Lettore" does; a script the player
// refuses is kept open with the refusal on top, to be mended.
void StudioShow::play(const std::string& script, const std::string& path,
                      const std::vector<std::string>& lines) {
    core_.loader().useText(script);
    {
        const std::lock_guard lock(silentMutex_);
        silentSectors_ = silentTracksFor(lines);
    }
    if (options_.disc.empty() && options_.tracks.empty() && !options_.openDisc && !saidNoDisc_) {
        saidNoDisc_ = true;
        status_.warn(
            "Nessun disco (--disc): la linea del tempo segue i tempi del copione, in "
            "silenzio");
    }
    if (!showStarted_) {
        if (auto failure = core_.startUp().Form_Load()) {
            status_.show(*failure);
            return;
        }
    }
    window_.setBanner({});
    core_.player().setText6(path);
    core_.player().Command1_Click();
    showStarted_ = core_.clock().enabled;
    if (showStarted_) core_.markShowStart();
    refreshTracks();
    ticker_.start(kIdleTickMs);
}

void StudioShow::refreshTracks() {
    const bool opened = tracks_.empty();
    auto disc = openDisc();
    const std::vector<DiscTrack> tracks = disc ? disc->tracks() : std::vector<DiscTrack>{};
    if (opened || tracks != tracks_) {
        tracks_ = tracks;
        window_.timeline().setTracks(tracks_);
        if (hasSound()) peaks_.start(tracks_);
    }
}

void StudioShow::reload(const std::string& script, const std::string& path,
                        const std::vector<std::string>& lines) {
    if (!showStarted_) {
        play(script, path, lines);
        return;
    }
    core_.loader().useText(script);
    if (auto refused = core_.reloadScript(heard())) {
        status_.show(*refused);
        return;
    }
    window_.setBanner({});
    window_.preview().updateIfChanged();
}

CdPosition StudioShow::heard() const {
    return CdPosition::unpack(cd_.position());
}

bool StudioShow::playing() const {
    return cd_.mode() == CdMode::Playing;
}

void StudioShow::showAt(const CdPosition& target) {
    if (showStarted_) core_.jumpTo(target);
    cd_.setTo(static_cast<std::int32_t>(target.packed()));
    cd_.command(CdCommand::Seek);
    followPlayhead();
    window_.preview().updateIfChanged();
}

void StudioShow::playPause() {
    span_.reset();
    if (playing()) {
        cd_.buttonPause();
    } else {
        cd_.buttonPlay();
        ticker_.start(kTickMs);
    }
}

void StudioShow::playSpan(const CdPosition& from, const CdPosition& to, bool loop) {
    const CdPosition before = span_ ? span_->returnTo : heard();
    const bool wasPlaying = playing() && !span_;
    showAt(from);
    if (!playing()) playPause();
    span_ = Span{from, to, before, loop};
    if (wasPlaying) span_->returnTo = CdPosition{};  // keeps playing on from the span's end
}

void StudioShow::endOfSpan() {
    if (!span_ || !playing() || discOrder(heard()) < discOrder(span_->to)) return;
    if (span_->loop) {
        showAt(span_->from);
        return;
    }
    const CdPosition back = span_->returnTo;
    span_.reset();
    if (back.track == 0) return;
    cd_.buttonPause();
    showAt(back);
}

CdPosition StudioShow::home() const {
    const auto cues = core_.cueSeconds();
    return cues.empty() ? CdPosition{1, 0, 0, 0} : CdPosition{cues.front().track, 0, 0, 0};
}

std::optional<CdPosition> StudioShow::cueTarget(int direction) const {
    const auto cues = core_.cueSeconds();
    const CdPosition now = heard();
    return direction > 0 ? nextCue(cues, now)
                         : previousCue(cues, {now.track, now.minutes, now.seconds, 0});
}

void StudioShow::tick() {
    const bool running = playing() || core_.state().pauseActive;
    endOfSpan();
    if (showStarted_ && running) core_.clock().Timer1_Timer();
    ticker_.setInterval(running ? kTickMs : kIdleTickMs);
    followPlayhead();
    window_.preview().updateIfChanged();
}

void StudioShow::followPlayhead() {
    const CdPosition now = heard();
    window_.timeline().setPlayhead(discSector(now), playing());
    window_.setPosition(now);
}

std::int32_t StudioShow::discSector(const CdPosition& p) const {
    if (p.track < 1 || std::size_t(p.track) > tracks_.size()) return 0;
    return tracks_[std::size_t(p.track - 1)].start + p.sectorsIntoTrack();
}

CdPosition StudioShow::positionOf(std::int32_t sector) const {
    for (std::size_t t = 0; t < tracks_.size(); ++t) {
        if (sector < tracks_[t].start + tracks_[t].length || t + 1 == tracks_.size())
            return CdPosition::inTrack(int(t) + 1, sector - tracks_[t].start);
    }
    return {1, 0, 0, 0};
}

void StudioShow::toggleDisplayWindow() {
    if (!displayWindow_) {
        displayWindow_ = std::make_unique<DisplayView>(core_.testo1());
        displayWindow_->setWindowTitle(QStringLiteral("Spettacolo \u2014 Quilo Studio"));
    }
    if (displayWindow_->isVisible()) {
        displayWindow_->hide();
        return;
    }
    // On a second screen (a projector) when there is one, filling it; else
    // beside the studio, in a window of its own.
    QScreen* projector = nullptr;
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != window_.screen()) projector = screen;
    if (projector) {
        displayWindow_->setScreen(projector);
        displayWindow_->setGeometry(projector->geometry());
    }
    displayWindow_->showFilling(projector != nullptr);
}

}  // namespace quilo
