#include "studio/app/StudioApp.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <csignal>

#include "cd/io/DiscSources.h"
#include "display/view/DisplayPainter.h"
#include "studio/app/StudioDialogs.h"
#include "studio/app/StudioExport.h"
#include "studio/app/TapCalibration.h"
#include "studio/view/TapOffsetDialog.h"

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
    if (options_.show) files_.linkShowFile(options_.showFile, &*options_.show);
    files_.onShowChosen = [this](const std::string& show) {
        chosenShow_ = show;
        files_.closed();
        QApplication::exit(0);  // quit() would ask the window, which asks again
    };
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
        files_.keepRecoveryCopy(true);
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
    a.exportShow = [this] { exportShow(); };
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
        editor_.markerMoved(line, show_.positionOf(sector));
    };
    a.find = [this] { findOrReplace(false); };
    a.findNext = [this] {
        if (lastFound_.isEmpty()) return findOrReplace(false);
        if (!editor_.find(lastFound_))
            window_.setStatus(QStringLiteral("«%1» non si trova").arg(lastFound_));
    };
    a.replace = [this] { findOrReplace(true); };
    connectTiming();
}

void StudioApp::connectTiming() {
    StudioWindow::Actions& a = window_.actions;
    a.gotoTime = [this] {
        const CdPosition now = show_.heard();
        const auto text =
            askText(&window_, QStringLiteral("Vai a"),
                    QStringLiteral("Tempo (TT:MM:SS, TT:MM:SS:FF o MM:SS):"),
                    QString::fromStdString(timeStamp(now.track, now.minutes, now.seconds)));
        if (!text) return;
        if (const auto at = parseTime(text->trimmed().toStdString(), now.track)) {
            editor_.moveTo(*at);
        } else {
            window_.setStatus(QStringLiteral("«%1» non è un tempo (TT:MM:SS)").arg(*text));
        }
    };
    a.replay = [this] {
        const auto span = editor_.selectedSpan();
        if (!span) return window_.setStatus(QStringLiteral("Scegliere una riga a tempo"));
        show_.playSpan(secondsLater(span->first, -2), secondsLater(span->first, 3), false);
    };
    a.loop = [this] {
        if (show_.looping()) return show_.playPause();
        if (const auto span = editor_.selectedSpan())
            show_.playSpan(span->first, span->second, true);
    };
    a.shiftLater = [this] {
        if (const auto seconds =
                askSeconds(&window_, QStringLiteral("Sposta da qui in poi"),
                           QStringLiteral("Secondi da aggiungere a questa riga e a tutte le "
                                          "seguenti dello stesso brano (negativi: prima):")))
            editor_.shiftLater(*seconds);
    };
    a.tapOffset = [this] { tapOffset(); };
    QSettings settings(QStringLiteral("Quilo"), QStringLiteral("Quilo Studio"));
    editor_.setTapOffsetMs(settings.value(QStringLiteral("studio/tapOffsetMs"), 0).toInt());
}

void StudioApp::findOrReplace(bool replace) {
    if (replace) {
        const auto what = askReplace(&window_, lastFound_);
        if (!what) return;
        lastFound_ = what->first;
        const int changed = editor_.replaceText(what->first, what->second);
        window_.setStatus(QStringLiteral("%1 righe cambiate").arg(changed));
        return;
    }
    const auto text =
        askText(&window_, QStringLiteral("Trova"), QStringLiteral("Testo:"), lastFound_);
    if (!text || text->isEmpty()) return;
    lastFound_ = *text;
    if (!editor_.find(lastFound_))
        window_.setStatus(QStringLiteral("«%1» non si trova").arg(lastFound_));
}

// The tap offset, with a calibration on clicks of its own while the dialog is open.
void StudioApp::tapOffset() {
    QSettings settings(QStringLiteral("Quilo"), QStringLiteral("Quilo Studio"));
    TapOffsetDialog dialog(settings.value(QStringLiteral("studio/tapOffsetMs"), 0).toInt(),
                           &window_);
    std::unique_ptr<TapCalibration> calibration;
    dialog.onCalibrate = [&](bool on) {
        calibration.reset();
        if (!on) return;
        if (show_.playing()) show_.playPause();
        calibration = std::make_unique<TapCalibration>(status_);
        dialog.say(
            QStringLiteral("Barra spaziatrice a ogni clic: 0 di %1").arg(TapCalibration::kTaps));
    };
    dialog.onTap = [&] {
        if (!calibration) return;
        const auto median = calibration->tap();
        dialog.say(QStringLiteral("Barra spaziatrice a ogni clic: %1 di %2")
                       .arg(calibration->taps())
                       .arg(TapCalibration::kTaps));
        if (!median) return;
        dialog.say(QStringLiteral("In media i tocchi arrivano %1 ms dopo il clic.").arg(*median));
        dialog.offer(*median);
    };
    if (dialog.exec() != QDialog::Accepted) return;
    settings.setValue(QStringLiteral("studio/tapOffsetMs"), dialog.offsetMs());
    editor_.setTapOffsetMs(dialog.offsetMs());
    window_.setStatus(QStringLiteral("Ritardo dei tocchi: %1 ms").arg(dialog.offsetMs()));
}

// The saved script with every file it names, and the disc's music if the
// author wants it, in one show file for the hall's computer.
void StudioApp::exportShow() {
    // What is exported is the script as saved: unsaved edits are saved first.
    const bool unsaved = files_.path().empty() || !editor_.undoStack().isClean();
    if (unsaved && !files_.save()) return;
    ShowExport request;
    request.script = files_.path();
    request.root = options_.root;
    request.disc = options_.disc;
    request.discKnown = !options_.disc.empty() || (options_.tracks.empty() && hasCdDrive());
    // A show opened from a show file is exported beside it, not into the cache.
    request.suggested = options_.showFile;
    exportShowFile(&window_, request);
}

// A file chosen from outside an opened show is copied beside its script, so
// that the show file carries it: a name reaching out of the show would stop
// the show file from opening anywhere else. A different file of the same
// name already there is kept, and the copy takes a name of its own.
QString StudioApp::intoShow(const QString& file, const QString& folder) {
    const QString showFolder = QDir(q(options_.show->folder)).canonicalPath();
    if (QFileInfo(file).canonicalFilePath().startsWith(showFolder + QLatin1Char('/'))) return file;
    const QFileInfo chosen(file);
    QString target = QDir(folder).filePath(chosen.fileName());
    for (int n = 2; QFileInfo::exists(target) && n < 1000; ++n) {
        target = QDir(folder).filePath(QStringLiteral("%1 (%2).%3")
                                           .arg(chosen.completeBaseName())
                                           .arg(n)
                                           .arg(chosen.suffix()));
    }
    if (!QFile::copy(file, target)) {
        window_.setBanner(
            QStringLiteral("%1 non si può copiare nello spettacolo (%2)").arg(file, folder));
        return {};
    }
    window_.setStatus(QStringLiteral("Copiato nello spettacolo: %1").arg(chosen.fileName()));
    return target;
}

// A file named the way scripts name theirs: from the script's folder, with
// backslashes, so that the script reads alike on Windows.
void StudioApp::chooseFile() {
    const int row = window_.selectedRow();
    const QString folder = QFileInfo(q(files_.path())).absolutePath();
    const QString file =
        QFileDialog::getOpenFileName(&window_, QStringLiteral("Scegli un file"), folder);
    if (file.isEmpty()) return;
    const QString inShow = options_.show ? intoShow(file, folder) : file;
    if (inShow.isEmpty()) return;
    QString name = QDir(folder).relativeFilePath(inShow);
    name.replace(QLatin1Char('/'), QLatin1Char('\\'));
    editor_.chooseFile(row, name.toStdString());
}

}  // namespace quilo
