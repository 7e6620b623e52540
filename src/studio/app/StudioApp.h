#pragma once
// The studio's composition root: the document being edited and its undo
// stack, the one presentation core that previews it (driven by the real CD
// control, so the preview is the show at the heard position), the disc's
// waveform, the checker's findings, and every action of the window.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "audio/CdStreamer.h"
#include "audio/PulseAudioOutput.h"
#include "audio/PulseSoundPlayer.h"
#include "cd/CdControl.h"
#include "display/view/DisplayPresenter.h"
#include "display/view/QtPictureProber.h"
#include "presentation/Presentation.h"
#include "script/ScriptChecker.h"
#include "studio/ScriptDocument.h"
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
};

class StudioApp : public QObject {
    Q_OBJECT
  public:
    explicit StudioApp(StudioOptions options);
    ~StudioApp() override;

    // Opens the script named on the command line, or starts a new one.
    void start();

    StudioWindow& window() { return window_; }
    ScriptDocument& document() { return document_; }
    CdControl& cd() { return cd_; }
    Presentation& core() { return core_; }
    QUndoStack& undoStack() { return undo_; }
    PeakReader& peaks() { return peaks_; }
    const CheckReport& findings() const { return findings_; }

    // The document's lines changed (an edit, its undo or a reload).
    void documentChanged();
    void setLine(int line, const std::string& text);  // one step of undo

  signals:
    // The checker's findings on the document as it stands have arrived.
    void checked();

  public:
    // Selects a line without moving the show to it.
    void selectQuietly(int row);

  private:
    friend class LineEditCommand;
    std::unique_ptr<DiscSource> openDisc();
    std::vector<std::int32_t> tracksFromScript() const;
    bool hasSound() const;
    void openScript(const std::string& path);
    void newScript();
    void startShow();
    void reloadShow();
    void moveTo(const CdPosition& target);
    void showAt(const CdPosition& target);
    void selectCueAt(const CdPosition& at);
    void lineChosen(int row);
    void tick();
    void followPlayhead();
    void connectWindow();
    void refreshRows();
    void refreshMarkers();
    void runChecks();
    void showSelected();
    bool save();
    bool mayClose();
    void fileChangedOnDisk();

    // actions
    void playPause();
    void tap();
    void nudge(int seconds);
    void insertLine();
    void removeLine();
    void jumpCue(int direction);
    void formEdited(QString time, QString letter, QString body, std::optional<int> colour);
    void chooseFile();
    void showDisplayWindow();

    std::vector<std::string> lineTexts() const;
    std::int32_t discSector(const CdPosition& p) const;
    CdPosition positionOf(std::int32_t sector) const;

    StudioOptions options_;
    std::string path_;  // the script's file
    ScriptDocument document_;
    QUndoStack undo_;
    StatusPorts status_;
    PulseAudioOutput realAudio_{&status_};
    AudioOutput& audio_;
    PulseSoundPlayer sound_{&status_};
    QtPictureProber prober_;
    StudioSeconds seconds_;
    CdControl cd_;
    std::unique_ptr<CdStreamer> streamer_;
    StudioWindow window_;
    DisplayPresenter presenter_{window_.preview()};
    Presentation core_;
    std::vector<DiscTrack> tracks_;
    PeakReader peaks_;
    QTimer ticker_;
    QTimer checkSoon_;
    QFileSystemWatcher watcher_;
    CheckReport findings_;
    int checkGeneration_ = 0;
    bool showStarted_ = false;
    bool saidNoDisc_ = false;
    std::mutex silentMutex_;  // the silent disc's tracks, read by the waveform's workers too
    std::vector<std::int32_t> silentSectors_;
    bool following_ = false;  // the list is being moved to the playhead
    bool backedUp_ = false;
    std::string savedBytes_;  // what is on disk as far as the studio knows
    std::unique_ptr<DisplayView> displayWindow_;
};

}  // namespace quilo
