#pragma once
// The studio's preview of the show: the real CD control and its sound, the
// one presentation core that plays the document being edited at the heard
// position, the disc's tracks and waveform, the playhead, and the show's own
// window on a projector. The document is handed in as the loader reads it;
// what is edited is decided elsewhere.

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "audio/CdStreamer.h"
#include "audio/ServerAudioOutput.h"
#include "audio/ServerSoundPlayer.h"
#include "bundle/io/ShowCache.h"
#include "cd/CdControl.h"
#include "display/view/DisplayPresenter.h"
#include "display/view/QtPictureProber.h"
#include "presentation/Presentation.h"
#include "studio/app/StudioPorts.h"
#include "studio/io/PeakReader.h"
#include "studio/view/StudioWindow.h"

namespace quilo {

struct StudioOptions {
    std::string script;
    std::string root;
    std::string disc;
    std::vector<int> tracks;       // seconds of silent tracks
    AudioOutput* audio = nullptr;  // tests: a pumped output instead of the sound server
    std::function<std::unique_ptr<DiscSource>()> openDisc;  // tests: a disc of their own
    std::string recoveryFolder;  // tests: where unsaved edits are kept; else the user's
    // A show file opened: saving the script writes it back into the file.
    std::string showFile;
    std::optional<OpenedShow> show;
};

class StudioShow : public QObject {
    Q_OBJECT
  public:
    StudioShow(const StudioOptions& options, StudioWindow& window, StatusPorts& status);
    ~StudioShow() override;

    void startSound();
    // Plays `script` (UTF-8 lines ending CR LF, as the loader takes a file)
    // from `path`; `lines`, the document's, size the silent disc without one.
    void play(const std::string& script, const std::string& path,
              const std::vector<std::string>& lines);
    // The edited script, shown at the heard position without stopping the sound.
    void reload(const std::string& script, const std::string& path,
                const std::vector<std::string>& lines);

    CdPosition heard() const;
    bool playing() const;
    // The show caught up to `target` and the disc moved there.
    void showAt(const CdPosition& target);
    void playPause();
    // Plays from `from` until `to`: then again from `from` when looping, else
    // the disc pauses back where it stood before.
    void playSpan(const CdPosition& from, const CdPosition& to, bool loop);
    bool looping() const { return span_ && span_->loop; }
    // The start of the first cue's track.
    CdPosition home() const;
    std::optional<CdPosition> cueTarget(int direction) const;
    void toggleDisplayWindow();

    // The tracks' lengths in sectors of the disc the show will play with, for
    // the checker; none while the disc is only a silent one sized to the script.
    std::optional<std::vector<std::int32_t>> showDiscTracks() const {
        if ((options_.disc.empty() && options_.tracks.empty() && !options_.openDisc) ||
            tracks_.empty())
            return std::nullopt;
        std::vector<std::int32_t> lengths;
        for (const DiscTrack& track : tracks_) lengths.push_back(track.length);
        return lengths;
    }

    std::int32_t discSector(const CdPosition& p) const;
    CdPosition positionOf(std::int32_t sector) const;

    CdControl& cd() { return cd_; }
    Presentation& core() { return core_; }
    PeakReader& peaks() { return peaks_; }

  private:
    std::unique_ptr<DiscSource> openDisc();
    bool hasSound() const;
    void tick();
    void followPlayhead();
    void refreshTracks();
    void endOfSpan();

    struct Span {
        CdPosition from, to, returnTo;
        bool loop = false;
    };
    std::optional<Span> span_;
    const StudioOptions& options_;
    StudioWindow& window_;
    StatusPorts& status_;
    ServerAudioOutput realAudio_{&status_};
    AudioOutput& audio_;
    ServerSoundPlayer sound_{&status_};
    QtPictureProber prober_;
    StudioSeconds seconds_;
    CdControl cd_;
    std::unique_ptr<CdStreamer> streamer_;
    DisplayPresenter presenter_;
    Presentation core_;
    std::vector<DiscTrack> tracks_;
    PeakReader peaks_;
    QTimer ticker_;
    bool showStarted_ = false;
    bool saidNoDisc_ = false;
    std::mutex silentMutex_;  // the silent disc's tracks, read by the waveform's workers too
    std::vector<std::int32_t> silentSectors_;
    std::unique_ptr<DisplayView> displayWindow_;
};

}  // namespace quilo
