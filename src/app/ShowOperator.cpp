#include "app/ShowOperator.h"

#include <QFileInfo>
#include <QSettings>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/Settings.h"
#include "presentation/CueJumps.h"
#include "script/PicturePlacement.h"
#include "script/ScriptCommand.h"
#include "script/UpcomingPictures.h"
#include "shared/ScriptFiles.h"

namespace quilo {
namespace {

// "Lettore" opens only names ending in "txt" in lower case, without a word:
// a script named on the command line otherwise says why it did not start.
std::optional<std::string> lowerCaseTxtOnly(const std::string& script) {
    if (script.size() >= 3 && script.compare(script.size() - 3, 3, "txt") == 0) return std::nullopt;
    const std::filesystem::path name = std::filesystem::path(script).filename();
    return "il copione " + name.string() +
           " non si apre: il lettore apre solo i nomi che finiscono con \u00ABtxt\u00BB in "
           "minuscolo; rinominarlo in " +
           name.stem().string() + ".txt";
}

// A refusal's reason for the panel's one line: without the script's path,
// which the panel already shows, and without "Il copione" before it.
std::string withoutPath(std::string reason, const std::string& path) {
    const std::string tail = ": " + path;
    if (reason.size() > tail.size() &&
        reason.compare(reason.size() - tail.size(), tail.size(), tail) == 0)
        reason.resize(reason.size() - tail.size());
    const std::string start = "Il copione ";
    if (reason.rfind(start, 0) == 0) reason.erase(0, start.size());
    return reason;
}

}  // namespace
namespace {

constexpr const char* kLastScriptKey = "ultimoCopione";
// Editors save in bursts (write, rename, touch): one reload after they settle.
constexpr int kReloadDelayMs = 150;

}  // namespace

ShowOperator::ShowOperator(const AppOptions& options, Presentation& core, CdControl& cd,
                           DisplayView& display, Warnings& warnings, std::function<void()> sync)
    : options_(options),
      core_(core),
      cd_(cd),
      display_(display),
      warnings_(warnings),
      sync_(std::move(sync)),
      from_(options.from) {
    reloadSoon_.setSingleShot(true);
    reloadSoon_.setInterval(kReloadDelayMs);
    connect(&reloadSoon_, &QTimer::timeout, this, [this] {
        reloadScript();
        sync_();
    });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { reloadSoon_.start(); });
    connect(&pictureWatcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& file) {
        display_.pictureChanged(file);
        // Saved by renaming: watch the new file under the same name.
        if (QFileInfo::exists(file)) pictureWatcher_.addPath(file);
    });
}

void ShowOperator::afterTick() {
    watchPictures();
    preloadPictures();
}

// Nothing is looked at on disk unless a pane's file changed.
void ShowOperator::watchPictures() {
    bool same = true;
    for (std::size_t i = 0; i < panesSeen_.size(); ++i) {
        same = same && panesSeen_[i] == core_.testo1().ImgEdit[i].file;
        panesSeen_[i] = core_.testo1().ImgEdit[i].file;
    }
    if (same) return;
    const QStringList watched = pictureWatcher_.files();
    for (const ImagePane& pane : core_.testo1().ImgEdit) {
        const QString file = QString::fromStdString(pane.file);
        if (!file.isEmpty() && !watched.contains(file) && QFileInfo::exists(file)) {
            pictureWatcher_.addPath(file);
        }
    }
}

// Files are looked up only when the pictures ahead change.
void ShowOperator::preloadPictures() {
    constexpr std::size_t kAhead = 2;
    const Modulo1& state = core_.state();
    std::vector<UpcomingPicture> ahead = upcomingPictures(state, kAhead);
    if (ahead == preloaded_ && state.scriptPath == preloadedScript_) return;
    preloaded_ = std::move(ahead);
    preloadedScript_ = state.scriptPath;
    const ScriptFiles files(state, core_.paths());
    QList<QPair<QString, QSizeF>> upcoming;
    for (const UpcomingPicture& picture : preloaded_) {
        const std::string file = files.resolve(picture.name);
        upcoming.append({QString::fromStdString(file), drawnSize(picture.letter, file)});
    }
    display_.preload(upcoming);
}

// The size in twips a picture letter will draw the file at, as the picture
// commands fit it; empty for a background, or a file that cannot be read.
QSizeF ShowOperator::drawnSize(const std::string& letter, const std::string& file) {
    if (commandFor(letter) != ScriptCommand::Picture) return {};
    const auto pixels = prober_.pixelSize(file);
    if (!pixels) return {};
    const Modulo1& state = core_.state();
    // A growing picture rests no larger than this either.
    const double scale = drawnScale(letter, pixels->width, pixels->height, state.captionWidth,
                                    state.captionHeight, 0);
    return {static_cast<float>(pixels->width * scale), static_cast<float>(pixels->height * scale)};
}

void ShowOperator::afterStartUp() {
    if (options_.script.empty()) {
        openChooserOnLastScript();
        return;
    }
    core_.player().setText6(options_.script);
    core_.player().Command1_Click();
    afterLettore();
    if (!showRunning()) {  // refused as "Lettore" would: the chooser stays, saying why
        if (const auto why = lowerCaseTxtOnly(options_.script)) {
            core_.tarvo1().status = *why;
            warnings_.warn(*why);
        }
        return;
    }
    fullScreen_ = true;
    cd_.buttonPlay();
}

void ShowOperator::afterLettore() {
    if (!showRunning()) return;
    core_.markShowStart();
    remember(core_.state().scriptPath);
    watchScript();
    if (from_) {
        moveShowTo(*from_);
        from_.reset();
    }
}

bool ShowOperator::showRunning() {
    return core_.state().presentationActive == 1 && core_.clock().enabled;
}

// The display as it would be at `target`, and the disc there; a playing disc
// plays on from there, a paused one waits there.
void ShowOperator::moveShowTo(const CdPosition& target) {
    core_.jumpTo(target);
    cd_.setTo(static_cast<std::int32_t>(target.packed()));
    cd_.command(CdCommand::Seek);
}

void ShowOperator::goTo(const CdPosition& target) {
    if (showRunning()) moveShowTo(target);
}

bool ShowOperator::onKey(int key) {
    switch (key) {
        case Qt::Key_F11:
        case Qt::Key_F:
            toggleFullScreen();
            return true;
        case Qt::Key_Escape:
            core_.events().Form_MouseDown(1);  // the panel, as a left click shows it
            return true;
        case Qt::Key_Space:
            if (cd_.mode() == CdMode::Playing) {
                cd_.buttonPause();
            } else if (cd_.mode() == CdMode::Paused) {
                cd_.buttonPlay();
            }
            return true;
        default:
            break;
    }
    if (!showRunning()) return false;
    const auto cues = core_.cueSeconds();
    const CdPosition now = CdPosition::unpack(cd_.position());
    std::optional<CdPosition> target;
    if (key == Qt::Key_Right || key == Qt::Key_PageDown) target = nextCue(cues, now);
    if (key == Qt::Key_Home && !cues.empty()) target = cues.front();
    if (key == Qt::Key_Left || key == Qt::Key_PageUp) {
        jumpBack();
        return true;
    }
    if (!target) return key == Qt::Key_Right || key == Qt::Key_PageDown || key == Qt::Key_Home;
    moveShowTo(*target);
    return true;
}

// Back to the start of the cue the show is in; pressed again within a second,
// to the one before.
void ShowOperator::jumpBack() {
    const auto now = std::chrono::steady_clock::now();
    const bool again = lastBackTarget_ && now - lastBack_ < std::chrono::seconds(1);
    const CdPosition from = again ? *lastBackTarget_ : CdPosition::unpack(cd_.position());
    const auto target = previousCue(core_.cueSeconds(), from);
    lastBack_ = now;
    if (!target) return;
    lastBackTarget_ = target;
    moveShowTo(*target);
}

void ShowOperator::toggleFullScreen() {
    fullScreen_ = !fullScreen_;
    if (display_.isVisible()) display_.showFilling(fullScreen_);
}

void ShowOperator::watchScript() {
    const QString path = QString::fromStdString(
        core_.paths().resolve(core_.state().scriptPath, std::filesystem::path()).string());
    if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
    watched_ = path.toStdString();
    watcher_.addPath(path);
}

void ShowOperator::reloadScript() {
    // An editor that saves by renaming leaves the watcher on the old file.
    if (!watcher_.files().contains(QString::fromStdString(watched_)) &&
        QFileInfo::exists(QString::fromStdString(watched_))) {
        watcher_.addPath(QString::fromStdString(watched_));
    }
    if (!showRunning()) return;
    PanelModel& panel = core_.tarvo1();
    if (auto refused = core_.reloadScript(CdPosition::unpack(cd_.position()))) {
        reloadProblem_ = "Copione non ricaricato: " +
                         withoutPath(withoutPath(*refused, core_.state().scriptPath), watched_) +
                         "; continua il precedente";
        panel.status = reloadProblem_;
        warnings_.warn("copione non ricaricato, continua il precedente: " + *refused);
        return;
    }
    if (!reloadProblem_.empty() && panel.status == reloadProblem_) panel.status.clear();
    reloadProblem_.clear();
}

void ShowOperator::remember(const std::string& script) {
    settings(options_)->setValue(QString::fromLatin1(kLastScriptKey),
                                 QString::fromStdString(script));
}

// The chooser opens on the folder of the last script played, with it chosen.
void ShowOperator::openChooserOnLastScript() {
    const std::string last =
        settings(options_)->value(QString::fromLatin1(kLastScriptKey)).toString().toStdString();
    if (last.empty()) return;
    const std::filesystem::path file = core_.paths().resolve(last, std::filesystem::path());
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return;
    Chooser& chooser = core_.chooser();
    chooser.Dir1_Change(file.parent_path());
    const auto& files = core_.chooserModel().files;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i] == file.filename().string()) chooser.File1_Click(static_cast<int>(i));
    }
}

}  // namespace quilo
