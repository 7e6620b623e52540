#pragma once
// The studio's composition root: the window, the show that previews the
// script at the heard position, the editor of its lines and the keeper of its
// file, wired to every action of the window. Each piece owns one concern; only
// this file knows them all.

#include <QObject>
#include <QSocketNotifier>
#include <memory>
#include <optional>
#include <string>

#include "studio/app/StudioEditor.h"
#include "studio/app/StudioFiles.h"
#include "studio/app/StudioShow.h"
#include "studio/view/StudioWindow.h"

namespace quilo {

class StudioApp : public QObject {
    Q_OBJECT
  public:
    explicit StudioApp(StudioOptions options);
    ~StudioApp() override;

    // Opens the script named on the command line, or starts a new one.
    void start();

    StudioWindow& window() { return window_; }
    // A show file chosen in "Apri…": the program ends to start again on it.
    const std::optional<std::string>& chosenShow() const { return chosenShow_; }
    StudioEditor& editor() { return editor_; }
    StudioFiles& files() { return files_; }
    ScriptDocument& document() { return editor_.document(); }
    CdControl& cd() { return show_.cd(); }
    Presentation& core() { return show_.core(); }
    QUndoStack& undoStack() { return editor_.undoStack(); }
    PeakReader& peaks() { return show_.peaks(); }
    const CheckReport& findings() const { return editor_.findings(); }
    void setLine(int line, const std::string& text) { editor_.setLine(line, text); }

    // SIGTERM and SIGHUP end the studio keeping a recovery copy of unsaved edits.
    void endOnSignals();

  private:
    void connectWindow();
    void connectTiming();
    void chooseFile();
    QString intoShow(const QString& file, const QString& folder);
    void exportShow();
    void findOrReplace(bool replace);
    void tapOffset();

    StudioOptions options_;
    StatusPorts status_;
    StudioWindow window_;
    StudioShow show_;
    StudioEditor editor_;
    StudioFiles files_;
    std::unique_ptr<QSocketNotifier> signalled_;
    QString lastFound_;
    std::optional<std::string> chosenShow_;
};

}  // namespace quilo
