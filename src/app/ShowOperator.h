#pragma once
// What an operator running a show expects beyond the forms' own buttons: a
// show started straight from the command line (optionally from a place on the
// disc), keys on the display to jump between cues, pause and go full screen,
// the script reloaded whenever its file is saved, and the last script
// remembered for the next run. Every rule it follows lives in the core; this
// only turns keys, files and settings into calls.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Options.h"
#include "cd/CdControl.h"
#include "display/view/DisplayView.h"
#include "display/view/QtPictureProber.h"
#include "presentation/Presentation.h"
#include "script/UpcomingPictures.h"
#include "shared/Warnings.h"

namespace quilo {

class ShowOperator : public QObject {
    Q_OBJECT
  public:
    ShowOperator(const AppOptions& options, Presentation& core, CdControl& cd, DisplayView& display,
                 Warnings& warnings, std::function<void()> sync);

    // After start-up: the chooser on the last script played, or the show
    // named on the command line started at once.
    void afterStartUp();
    // After "Lettore": a show that started is remembered, watched, and moved
    // to --from the first time.
    void afterLettore();
    // A key pressed on the display; true when it did something.
    bool onKey(int key);
    // The show moved to a second, as --from moves it (the remote's "goto").
    void goTo(const CdPosition& target);

    // After every tick: watches the pictures on the display, so that one saved
    // anew is shown anew, and has those of the cues ahead decoded before they
    // are due.
    void afterTick();

    // Whether the display is to fill its screen with no frame.
    bool fullScreen() const { return fullScreen_; }

    // "Schermo nero" from the remote: the display black for the audience,
    // the music and the script untouched.
    void setBlack(bool black) {
        black_ = black;
        display_.setBlackedOut(black);
    }
    bool black() const { return black_; }

  private:
    void watchPictures();
    void preloadPictures();
    QSizeF drawnSize(const std::string& letter, const std::string& file);
    bool showRunning();
    void moveShowTo(const CdPosition& target);
    void jumpBack();
    void toggleFullScreen();
    void watchScript();
    void reloadScript();
    void remember(const std::string& script);
    void openChooserOnLastScript();

    AppOptions options_;
    Presentation& core_;
    CdControl& cd_;
    DisplayView& display_;
    Warnings& warnings_;
    std::function<void()> sync_;
    std::optional<CdPosition> from_;
    bool fullScreen_ = false;
    bool black_ = false;
    QFileSystemWatcher watcher_;
    QFileSystemWatcher pictureWatcher_;
    std::array<std::string, 5> panesSeen_;    // the panes' files at the last look
    std::vector<UpcomingPicture> preloaded_;  // the pictures ahead at the last look
    std::string preloadedScript_;
    QtPictureProber prober_;
    QTimer reloadSoon_;
    std::string watched_;
    std::string reloadProblem_;  // the panel line a refused reload left
    std::optional<CdPosition> lastBackTarget_;
    std::chrono::steady_clock::time_point lastBack_;
};

}  // namespace quilo
