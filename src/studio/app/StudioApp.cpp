#include "studio/app/StudioApp.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <csignal>

#include "display/view/DisplayPainter.h"

namespace quilo {
namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

StudioApp::StudioApp(StudioOptions options)
    : options_(std::move(options)),
      show_(options_, window_, status_),
      editor_(window_, show_, options_.root),
      files_(window_, editor_, status_, options_.root, options_.recoveryFolder) {
    installFontSubstitutes();
    status_.say = [this](const std::string& text) { window_.setStatus(q(text)); };
    status_.alert = [this](const std::string& text) { window_.setBanner(q(text)); };
    connectWindow();
}

StudioApp::~StudioApp() {
    // The undo stack's last signals must not reach the window, gone by then.
    editor_.undoStack().disconnect();
    editor_.undoStack().blockSignals(true);
    files_.closed();
}

void StudioApp::start() {
    show_.startSound();
    // The window first: questions on opening (a recovery copy) come over it.
    window_.show();
    window_.lineList().setFocus();
    if (options_.script.empty()) {
        files_.newScript();
    } else {
        files_.open(show_.core().paths().resolve(options_.script, {}).string());
    }
}

void StudioApp::endOnSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    signalled_ = std::make_unique<QSocketNotifier>(signalPipe[1], QSocketNotifier::Read);
    connect(signalled_.get(), &QSocketNotifier::activated, this, [this] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[1], &byte, 1);
        files_.keepRecoveryCopy();
        QApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

void StudioApp::connectWindow() {
    StudioWindow::Actions& a = window_.actions;
    a.playPause = [this] { show_.playPause(); };
    a.home = [this] { editor_.moveTo(show_.home()); };
    a.previousCue = [this] {
        if (const auto target = show_.cueTarget(-1)) editor_.moveTo(*target);
    };
    a.nextCue = [this] {
        if (const auto target = show_.cueTarget(1)) editor_.moveTo(*target);
    };
    a.tap = [this] { editor_.tap(); };
    a.nudge = [this](int seconds) { editor_.nudge(seconds); };
    a.insert = [this] { editor_.insertLine(); };
    a.remove = [this] { editor_.removeLine(); };
    a.undo = [this] { editor_.undoStack().undo(); };
    a.redo = [this] { editor_.undoStack().redo(); };
    a.save = [this] { files_.save(); };
    a.saveAs = [this] { files_.saveAs(); };
    a.quit = [this] { window_.close(); };
    a.newScript = [this] {
        if (files_.mayClose()) files_.newScript();
    };
    a.open = [this] { files_.openChosen(); };
    a.zoomIn = [this] { window_.timeline().zoom(2.0); };
    a.zoomOut = [this] { window_.timeline().zoom(0.5); };
    a.showDisplay = [this] { show_.toggleDisplayWindow(); };
    a.selected = [this](int row) { editor_.lineChosen(row); };
    a.lineEdited = [this](int row, QString text) { editor_.setLine(row, text.toStdString()); };
    a.fieldEdited = [this](int row, LineField field, QString value) {
        editor_.fieldEdited(row, field, value.toStdString());
    };
    a.chooseFile = [this] { chooseFile(); };
    a.mayClose = [this] { return files_.mayClose(); };
    TimelineView& timeline = window_.timeline();
    timeline.onSeek = [this](std::int32_t sector) { editor_.moveTo(show_.positionOf(sector)); };
    timeline.onMarkerClicked = [this](int line) { window_.selectRow(line); };
    timeline.onMarkerMoved = [this](int line, std::int32_t sector) {
        const CdPosition at = show_.positionOf(sector);
        editor_.fieldEdited(line, LineField::Time, timeStamp(at.track, at.minutes, at.seconds));
    };
}

// A file named the way scripts name theirs: from the script's folder, with
// backslashes, so that the script reads alike on Windows.
void StudioApp::chooseFile() {
    const int row = window_.selectedRow();
    const QString folder = QFileInfo(q(files_.path())).absolutePath();
    const QString file =
        QFileDialog::getOpenFileName(&window_, QStringLiteral("Scegli un file"), folder);
    if (file.isEmpty()) return;
    QString name = QDir(folder).relativeFilePath(file);
    name.replace(QLatin1Char('/'), QLatin1Char('\\'));
    editor_.chooseFile(row, name.toStdString());
}

}  // namespace quilo
