#include "studio/app/StudioApp.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QMetaObject>
#include <QScreen>
#include <QThread>
#include <QThreadPool>
#include <filesystem>

#include "cd/SilentDisc.h"
#include "cd/io/DiscSources.h"
#include "display/Colours.h"
#include "presentation/CueJumps.h"
#include "shared/LineFormat.h"
#include "shared/RegularFile.h"
#include "studio/ScriptEdits.h"
#include "studio/io/SafeWrite.h"
#include "tools/DecodingSoundCheck.h"
#include "tools/sim/PlayCheck.h"

namespace quilo {
namespace {

// A script is at most 2001 lines of 32767 characters, four bytes each at worst.
constexpr std::size_t kScriptLimit = std::size_t(2001) * (32767 * 4 + 2);
constexpr int kTickMs = 10;       // while playing: the clock's ticks and the playhead
constexpr int kIdleTickMs = 100;  // otherwise
constexpr int kCheckDelayMs = 300;
constexpr int kSilentTailSeconds = 60;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A question with its answers written out in Italian, whatever translations
// Qt has; the index of the answer chosen, or the last one when closed.
int ask(QWidget* parent, const QString& text, const QStringList& answers) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quilo Studio"), text,
                    QMessageBox::NoButton, parent);
    std::vector<QAbstractButton*> buttons;
    for (const QString& answer : answers)
        buttons.push_back(box.addButton(answer, QMessageBox::ActionRole));
    box.setEscapeButton(buttons.back());
    box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return chosen == buttons.end() ? int(buttons.size()) - 1 : int(chosen - buttons.begin());
}

}  // namespace

// One edit of the script's lines: the lines from `first` before and after.
class LineEditCommand : public QUndoCommand {
  public:
    LineEditCommand(StudioApp& app, int first, std::vector<std::string> before,
                    std::vector<std::string> after, const QString& name)
        : QUndoCommand(name),
          app_(app),
          first_(first),
          before_(std::move(before)),
          after_(std::move(after)) {}
    void redo() override { put(before_.size(), after_); }
    void undo() override { put(after_.size(), before_); }

  private:
    void put(std::size_t replacing, const std::vector<std::string>& lines) {
        ScriptDocument& doc = app_.document();
        const std::size_t common = std::min(replacing, lines.size());
        for (std::size_t i = 0; i < common; ++i) doc.setText(first_ + int(i), lines[i]);
        for (std::size_t i = common; i < replacing; ++i) doc.remove(first_ + int(common));
        for (std::size_t i = common; i < lines.size(); ++i) doc.insert(first_ + int(i), lines[i]);
        app_.documentChanged();
        app_.selectQuietly(first_);
    }

    StudioApp& app_;
    int first_;
    std::vector<std::string> before_;
    std::vector<std::string> after_;
};

StudioApp::StudioApp(StudioOptions options)
    : options_(std::move(options)),
      audio_(options_.audio ? *options_.audio : realAudio_),
      cd_([this] { return openDisc(); }, audio_),
      core_({cd_, prober_, presenter_, status_, sound_, status_, seconds_, status_, status_,
             options_.root}),
      peaks_([this] { return openDisc(); }) {
    installFontSubstitutes();
    window_.preview().setModel(core_.testo1());
    status_.say = [this](const std::string& text) { window_.setStatus(q(text)); };
    cd_.setEventSink([this](CdEvent event) {
        QMetaObject::invokeMethod(
            this, [this, event] { core_.onCdEvent(event); }, Qt::QueuedConnection);
    });
    if (!options_.audio) streamer_ = std::make_unique<CdStreamer>(cd_);
    connect(&ticker_, &QTimer::timeout, this, [this] { tick(); });
    checkSoon_.setSingleShot(true);
    checkSoon_.setInterval(kCheckDelayMs);
    connect(&checkSoon_, &QTimer::timeout, this, [this] { runChecks(); });
    connect(&undo_, &QUndoStack::cleanChanged, this,
            [this](bool clean) { window_.setWindowModified(!clean); });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { fileChangedOnDisk(); });
    connect(&peaks_, &PeakReader::peaks, &window_.timeline(), &TimelineView::addPeaks);
    connect(&peaks_, &PeakReader::finished, this, [this](double seconds) {
        window_.setStatus(QStringLiteral("Forma d'onda letta in %1 s").arg(seconds, 0, 'f', 1));
    });
    connectWindow();
}

StudioApp::~StudioApp() {
    undo_.disconnect(this);  // its last signals must not reach the window, gone by then
    undo_.blockSignals(true);
    peaks_.stop();
    if (streamer_) streamer_->stop();
}

std::unique_ptr<DiscSource> StudioApp::openDisc() {
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
bool StudioApp::hasSound() const {
    return options_.openDisc || (!options_.disc.empty() && !saidNoDisc_);
}

// Without a disc: a silent track for each track the script names, a minute
// past its last cue.
std::vector<std::int32_t> StudioApp::tracksFromScript() const {
    std::vector<int> lastSecond(1, 0);
    for (const DocumentLine& line : document_.lines()) {
        const DecodedLine d = decodeLine(line.text);
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

void StudioApp::start() {
    if (streamer_) streamer_->start();
    if (options_.script.empty()) {
        newScript();
    } else {
        openScript(options_.script);
    }
    window_.show();
    window_.lineList().setFocus();
}

void StudioApp::openScript(const std::string& path) {
    const std::string file = core_.paths().resolve(path, std::filesystem::path()).string();
    std::string bytes;
    const FileProblem problem = readRegularFile(file, kScriptLimit, bytes);
    if (problem != FileProblem::None && problem != FileProblem::Missing) {
        window_.setBanner(
            QStringLiteral("Impossibile aprire %1: %2").arg(q(file), q(describeProblem(problem))));
    }
    path_ = file;
    document_ = ScriptDocument::fromBytes(bytes);
    savedBytes_ = bytes;
    undo_.clear();
    backedUp_ = false;
    if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
    if (QFileInfo::exists(q(file))) watcher_.addPath(q(file));
    window_.setWindowTitle(
        QStringLiteral("%1[*] \u2014 Quilo Studio").arg(QFileInfo(q(file)).fileName()));
    startShow();
    documentChanged();
    const auto cues = cueLines(lineTexts());
    selectQuietly(cues.empty() ? 0 : cues.front());
}

// Starts the show on the document as "Lettore" does; a script the player
// refuses is kept open with the refusal on top, to be mended here.
void StudioApp::startShow() {
    core_.loader().useText(document_.scriptBytes());
    {
        const std::lock_guard lock(silentMutex_);
        silentSectors_ = tracksFromScript();
    }
    if (options_.disc.empty() && options_.tracks.empty() && !options_.openDisc && !saidNoDisc_) {
        saidNoDisc_ = true;
        status_.warn(
            "Nessun disco (--disc): la linea del tempo segue i tempi del copione, in "
            "silenzio");
    }
    if (!showStarted_) {
        if (auto failure = core_.startUp().Form_Load()) {
            window_.setBanner(q(*failure));
            return;
        }
    }
    core_.player().setText6(path_);
    core_.player().Command1_Click();
    showStarted_ = core_.clock().enabled;
    if (showStarted_) core_.markShowStart();
    const bool opened = tracks_.empty();
    const std::vector<DiscTrack> tracks = [this] {
        auto disc = openDisc();
        return disc ? disc->tracks() : std::vector<DiscTrack>{};
    }();
    if (opened || tracks != tracks_) {
        tracks_ = tracks;
        window_.timeline().setTracks(tracks_);
        if (hasSound()) peaks_.start(tracks_);
    }
    ticker_.start(kIdleTickMs);
}

// The edited script, shown at the heard position without stopping the sound.
void StudioApp::reloadShow() {
    core_.loader().useText(document_.scriptBytes());
    if (!showStarted_) {
        startShow();
        if (showStarted_) window_.setBanner({});
        return;
    }
    if (auto refused = core_.reloadScript(CdPosition::unpack(cd_.position()))) {
        window_.setBanner(q(*refused));
        return;
    }
    window_.setBanner({});
    window_.preview().updateIfChanged();
}

void StudioApp::moveTo(const CdPosition& target) {
    showAt(target);
    selectCueAt(target);
}

// The show caught up to `target` and the disc moved there.
void StudioApp::showAt(const CdPosition& target) {
    if (showStarted_) core_.jumpTo(target);
    cd_.setTo(static_cast<std::int32_t>(target.packed()));
    cd_.command(CdCommand::Seek);
    followPlayhead();
    window_.preview().updateIfChanged();
}

// The list follows the playhead: the last cue at or before it is selected.
void StudioApp::selectCueAt(const CdPosition& at) {
    const std::vector<std::string> texts = lineTexts();
    std::optional<int> found;
    for (int cue : cueLines(texts)) {
        const DecodedLine d = decodeLine(texts[cue]);
        if (discOrder({d.track, d.minutes, d.seconds, 0}) <=
            discOrder({at.track, at.minutes, at.seconds, 0}))
            found = cue;
    }
    if (found) selectQuietly(*found);
}

void StudioApp::selectQuietly(int row) {
    following_ = true;
    window_.selectRow(row);
    following_ = false;
}

// ... and the playhead follows the list: a cue chosen while the disc is not
// playing moves the show to its second. While it plays, choosing a line only
// chooses what the next tap times.
void StudioApp::lineChosen(int row) {
    showSelected();
    if (following_ || cd_.mode() == CdMode::Playing) return;
    if (row < 0 || row >= document_.lineCount() || !isCueLine(document_.text(row))) return;
    const DecodedLine d = decodeLine(document_.text(row));
    showAt({d.track, d.minutes, d.seconds, 0});
}

void StudioApp::tick() {
    const bool playing = cd_.mode() == CdMode::Playing;
    if (showStarted_ && (playing || core_.state().pauseActive)) core_.clock().Timer1_Timer();
    ticker_.setInterval(playing || core_.state().pauseActive ? kTickMs : kIdleTickMs);
    followPlayhead();
    window_.preview().updateIfChanged();
}

void StudioApp::followPlayhead() {
    const CdPosition heard = CdPosition::unpack(cd_.position());
    window_.timeline().setPlayhead(discSector(heard), cd_.mode() == CdMode::Playing);
}

std::int32_t StudioApp::discSector(const CdPosition& p) const {
    if (p.track < 1 || std::size_t(p.track) > tracks_.size()) return 0;
    return tracks_[std::size_t(p.track - 1)].start + p.sectorsIntoTrack();
}

CdPosition StudioApp::positionOf(std::int32_t sector) const {
    for (std::size_t t = 0; t < tracks_.size(); ++t) {
        if (sector < tracks_[t].start + tracks_[t].length || t + 1 == tracks_.size())
            return CdPosition::inTrack(int(t) + 1, sector - tracks_[t].start);
    }
    return {1, 0, 0, 0};
}

std::vector<std::string> StudioApp::lineTexts() const {
    std::vector<std::string> texts;
    for (const DocumentLine& line : document_.lines()) texts.push_back(line.text);
    return texts;
}

void StudioApp::documentChanged() {
    refreshRows();
    refreshMarkers();
    reloadShow();
    checkSoon_.start();
    showSelected();
}

void StudioApp::refreshRows() {
    std::vector<LineRow> rows;
    const std::vector<std::string> texts = lineTexts();
    int blockUntil = -1;
    for (int i = 0; i < int(texts.size()); ++i) {
        const bool inBlock = i <= blockUntil;
        if (!inBlock && isCueLine(texts[i])) blockUntil = blockEnd(texts, i);
        const LineParts parts = lineParts(texts[i], inBlock);
        LineRow row;
        const bool cue = parts.kind == LineParts::Kind::Cue;
        row.time = cue ? q(parts.time) : QString();
        row.letter = cue && parts.letter.empty()             ? QStringLiteral("testo")
                     : parts.kind == LineParts::Kind::Header ? QStringLiteral("99")
                                                             : q(parts.letter);
        row.body = q(parts.body);
        if (parts.colour) {
            row.colourName = q(colourLabel(*parts.colour));
            if (const auto rgb = colourNumber(*parts.colour))
                row.colour = QColor(rgb->r, rgb->g, rgb->b);
        }
        row.dim = parts.kind != LineParts::Kind::Cue && parts.kind != LineParts::Kind::BlockLine;
        for (const Diagnostic& d : findings_.diagnostics) {
            if (d.line != i + 1) continue;
            row.findings += (row.findings.isEmpty() ? QString() : QStringLiteral("\n")) +
                            (d.error ? QStringLiteral("errore: ") : QStringLiteral("avviso: ")) +
                            q(d.text);
            row.error = row.error || d.error;
        }
        rows.push_back(row);
    }
    for (const std::string& note : document_.noteLines()) {
        LineRow row;
        row.body = q(note);
        row.dim = true;
        rows.push_back(row);
    }
    window_.lines().setRows(std::move(rows));
}

void StudioApp::refreshMarkers() {
    const std::vector<std::string> texts = lineTexts();
    std::vector<TimelineMarker> markers;
    const int selected = window_.selectedRow();
    for (int i : cueLines(texts)) {
        const DecodedLine d = decodeLine(texts[i]);
        const LineParts parts = lineParts(texts[i], false);
        QString label = q(parts.letter.empty() ? "T" : parts.letter) + QStringLiteral(" ") +
                        q(parts.body).left(24);
        markers.push_back(
            {discSector({d.track, d.minutes, d.seconds, 0}), label, i, i == selected});
    }
    window_.timeline().setMarkers(std::move(markers));
}

// The checker runs on the document as it stands, off the interface thread;
// a result for a document that has changed since is dropped.
void StudioApp::runChecks() {
    const int generation = ++checkGeneration_;
    const std::string path = path_, root = options_.root, text = document_.scriptBytes();
    QThreadPool::globalInstance()->start([this, generation, path, root, text] {
        QtPictureProber pictures;
        DecodingSoundCheck sounds;
        CheckReport report = checkScriptFully(path, root, pictures, sounds, text);
        QMetaObject::invokeMethod(
            this,
            [this, generation, report] {
                if (generation != checkGeneration_) return;
                findings_ = report;
                refreshRows();
                emit checked();
            },
            Qt::QueuedConnection);
    });
}

void StudioApp::showSelected() {
    const int row = window_.selectedRow();
    FormLine form;
    if (row >= 0 && row < document_.lineCount()) {
        const std::vector<std::string> texts = lineTexts();
        bool inBlock = false;
        for (int cue : cueLines(texts))
            inBlock = inBlock || (cue < row && row <= blockEnd(texts, cue));
        const LineParts parts = lineParts(texts[row], inBlock);
        form.whole = q(texts[row]);
        form.cue = parts.kind == LineParts::Kind::Cue;
        form.time = q(parts.time);
        form.letter = q(parts.letter);
        form.body = q(parts.body);
        form.colour = parts.colour;
    }
    window_.showForm(form);
    refreshMarkers();
}

void StudioApp::setLine(int line, const std::string& text) {
    if (line < 0 || line >= document_.lineCount() || document_.text(line) == text) return;
    undo_.push(new LineEditCommand(*this, line, {document_.text(line)}, {text},
                                   QStringLiteral("Modifica della riga %1").arg(line + 1)));
}

void StudioApp::connectWindow() {
    StudioWindow::Actions& a = window_.actions;
    a.playPause = [this] { playPause(); };
    a.home = [this] {
        const auto cues = core_.cueSeconds();
        moveTo(cues.empty() ? CdPosition{1, 0, 0, 0} : CdPosition{cues.front().track, 0, 0, 0});
    };
    a.previousCue = [this] { jumpCue(-1); };
    a.nextCue = [this] { jumpCue(1); };
    a.tap = [this] { tap(); };
    a.nudge = [this](int seconds) { nudge(seconds); };
    a.insert = [this] { insertLine(); };
    a.remove = [this] { removeLine(); };
    a.undo = [this] { undo_.undo(); };
    a.redo = [this] { undo_.redo(); };
    a.save = [this] { save(); };
    a.quit = [this] { window_.close(); };
    a.newScript = [this] {
        if (mayClose()) newScript();
    };
    a.open = [this] {
        if (!mayClose()) return;
        const QString file = QFileDialog::getOpenFileName(
            &window_, QStringLiteral("Apri un copione"),
            q((std::filesystem::path(options_.root) / "Allegato").string()),
            QStringLiteral("Copioni (*.txt)"));
        if (!file.isEmpty()) openScript(file.toStdString());
    };
    a.zoomIn = [this] { window_.timeline().zoom(2.0); };
    a.zoomOut = [this] { window_.timeline().zoom(0.5); };
    a.showDisplay = [this] { showDisplayWindow(); };
    a.selected = [this](int row) { lineChosen(row); };
    a.lineEdited = [this](QString text) { setLine(window_.selectedRow(), text.toStdString()); };
    a.formEdited = [this](QString time, QString letter, QString body, std::optional<int> colour) {
        formEdited(time, letter, body, colour);
    };
    a.chooseFile = [this] { chooseFile(); };
    a.mayClose = [this] { return mayClose(); };
    TimelineView& timeline = window_.timeline();
    timeline.onSeek = [this](std::int32_t sector) { moveTo(positionOf(sector)); };
    timeline.onMarkerClicked = [this](int line) { window_.selectRow(line); };
    timeline.onMarkerMoved = [this](int line, std::int32_t sector) {
        const CdPosition at = positionOf(sector);
        setLine(line, retimed(document_.text(line), timeStamp(at.track, at.minutes, at.seconds)));
    };
}

void StudioApp::playPause() {
    if (cd_.mode() == CdMode::Playing) {
        cd_.buttonPause();
    } else {
        cd_.buttonPlay();
        ticker_.start(kTickMs);
    }
}

// The selected cue takes the second now heard, and the next cue is selected:
// tapping along with the music times line after line.
void StudioApp::tap() {
    const CdPosition heard = CdPosition::unpack(cd_.position());
    const int row = window_.selectedRow();
    if (row < 0 || row >= document_.lineCount() || !isCueLine(document_.text(row))) {
        window_.setStatus(QStringLiteral("Scegliere una riga a tempo"));
        return;
    }
    setLine(row, retimed(document_.text(row), tappedStamp(heard)));
    if (const auto next = nextCueLine(lineTexts(), row)) selectQuietly(*next);
}

void StudioApp::nudge(int seconds) {
    const int row = window_.selectedRow();
    if (row < 0 || row >= document_.lineCount() || !isCueLine(document_.text(row))) return;
    setLine(row, shifted(document_.text(row), seconds));
}

void StudioApp::insertLine() {
    const CdPosition heard = CdPosition::unpack(cd_.position());
    const std::string line = tappedStamp(heard) + "Nuova didascalia15C";
    // Before the first cue that comes later, so that the lines stay in order.
    int at = document_.terminated() ? document_.lineCount() - 1 : document_.lineCount();
    const std::vector<std::string> texts = lineTexts();
    for (int cue : cueLines(texts)) {
        const DecodedLine d = decodeLine(texts[cue]);
        if (discOrder({d.track, d.minutes, d.seconds, 0}) >
            discOrder({heard.track, heard.minutes, heard.seconds, 0})) {
            at = cue;
            break;
        }
    }
    undo_.push(new LineEditCommand(*this, at, {}, {line}, QStringLiteral("Nuova riga")));
}

void StudioApp::removeLine() {
    const int row = window_.selectedRow();
    if (row < 0 || row >= document_.lineCount()) return;
    const std::vector<std::string> texts = lineTexts();
    const int last = isCueLine(texts[row]) ? blockEnd(texts, row) : row;
    std::vector<std::string> removed(texts.begin() + row, texts.begin() + last + 1);
    undo_.push(new LineEditCommand(*this, row, removed, {}, QStringLiteral("Eliminazione")));
}

void StudioApp::jumpCue(int direction) {
    const auto cues = core_.cueSeconds();
    const CdPosition now = CdPosition::unpack(cd_.position());
    const auto target = direction > 0 ? nextCue(cues, now)
                                      : previousCue(cues, {now.track, now.minutes, now.seconds, 0});
    if (target) moveTo(*target);
}

void StudioApp::formEdited(QString time, QString letter, QString body, std::optional<int> colour) {
    const int row = window_.selectedRow();
    if (row < 0 || row >= document_.lineCount()) return;
    setLine(row, composeLine(time.toStdString(), body.toStdString(), colour, letter.toStdString()));
}

// A file named the way scripts name theirs: from the script's folder, with
// backslashes, so that the script reads alike on Windows.
void StudioApp::chooseFile() {
    const QString folder = QFileInfo(q(path_)).absolutePath();
    const QString file =
        QFileDialog::getOpenFileName(&window_, QStringLiteral("Scegli un file"), folder);
    if (file.isEmpty()) return;
    QString name = QDir(folder).relativeFilePath(file);
    name.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const int row = window_.selectedRow();
    if (row < 0 || row >= document_.lineCount()) return;
    const LineParts parts = lineParts(document_.text(row), false);
    setLine(row, composeLine(parts.time, name.toStdString(), parts.colour, parts.letter));
}

void StudioApp::showDisplayWindow() {
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

bool StudioApp::save() {
    if (const auto line = document_.firstUnwritable()) {
        const int answer = ask(
            &window_,
            QStringLiteral("La riga %1 contiene caratteri che la codifica del file (Windows-1252) "
                           "non può scrivere. Salvare il copione in UTF-8?")
                .arg(*line + 1),
            {QStringLiteral("Salva in UTF-8"), QStringLiteral("Annulla")});
        if (answer != 0) {
            window_.selectRow(*line);
            return false;
        }
        document_.convertToUtf8();
    }
    const std::string bytes = document_.bytes();
    if (auto problem = writeReplacing(path_, bytes, !backedUp_)) {
        QMessageBox::warning(&window_, QStringLiteral("Salva"),
                             QStringLiteral("Il copione non è stato salvato (%1): %2. Le modifiche "
                                            "restano qui.")
                                 .arg(q(path_), q(*problem)));
        return false;
    }
    backedUp_ = true;
    savedBytes_ = bytes;
    undo_.setClean();
    if (!watcher_.files().contains(q(path_))) watcher_.addPath(q(path_));
    window_.setStatus(QStringLiteral("Salvato: %1").arg(q(path_)));
    return true;
}

bool StudioApp::mayClose() {
    if (undo_.isClean()) return true;
    const int answer =
        ask(&window_, QStringLiteral("Il copione ha modifiche non salvate. Salvarle?"),
            {QStringLiteral("Salva"), QStringLiteral("Non salvare"), QStringLiteral("Annulla")});
    if (answer == 2) return false;
    return answer == 1 || save();
}

void StudioApp::fileChangedOnDisk() {
    std::string bytes;
    if (readRegularFile(path_, kScriptLimit, bytes) != FileProblem::None || bytes == savedBytes_) {
        if (QFileInfo::exists(q(path_)) && !watcher_.files().contains(q(path_)))
            watcher_.addPath(q(path_));
        return;
    }
    savedBytes_ = bytes;
    const int answer =
        ask(&window_,
            QStringLiteral("Il copione è stato cambiato da un altro programma. Ricaricarlo?%1")
                .arg(undo_.isClean() ? QString()
                                     : QStringLiteral(" Le modifiche fatte qui andranno perse.")),
            {QStringLiteral("Ricarica"), QStringLiteral("Lascia com'è")});
    if (answer == 0) openScript(path_);
    if (!watcher_.files().contains(q(path_))) watcher_.addPath(q(path_));
}

// A new script: its first line, the seven header lines from two colours and
// an optional background, and the "**" line, where the chooser finds it.
void StudioApp::newScript() {
    const std::filesystem::path folder = std::filesystem::path(options_.root) / "Allegato";
    bool ok = false;
    QInputDialog nameDialog(&window_);
    nameDialog.setWindowTitle(QStringLiteral("Nuovo copione"));
    nameDialog.setLabelText(QStringLiteral("Nome del copione:"));
    nameDialog.setTextValue(QStringLiteral("nuovo"));
    nameDialog.setOkButtonText(QStringLiteral("Avanti"));
    nameDialog.setCancelButtonText(QStringLiteral("Annulla"));
    ok = nameDialog.exec() == QDialog::Accepted;
    const QString name = nameDialog.textValue();
    if (!ok || name.trimmed().isEmpty()) {
        if (path_.empty()) openScript((folder / "nuovo.txt").string());
        return;
    }
    const QColor back =
        QColorDialog::getColor(QColor(0, 0, 64), &window_, QStringLiteral("Colore dello sfondo"));
    const QColor text =
        QColorDialog::getColor(QColor(255, 255, 255), &window_, QStringLiteral("Colore del testo"));
    const QString picture = QFileDialog::getOpenFileName(
        &window_, QStringLiteral("Immagine di sfondo (facoltativa)"), q(folder.string()),
        QStringLiteral("Immagini (*.png *.jpg *.jpeg *.bmp *.gif *.webp)"));
    const bool utf8 = ask(&window_,
                          QStringLiteral("In quale codifica scriverlo? Windows-1252 è quella del "
                                         "Blocco note di Windows."),
                          {QStringLiteral("Windows-1252"), QStringLiteral("UTF-8")}) == 1;
    ScriptDocument doc =
        ScriptDocument::empty(utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252, true);
    auto header = [](const char* what, int value) {
        char line[40];
        std::snprintf(line, sizeof line, "99 %-17s%3d", what, std::clamp(value, 0, 255));
        return std::string(line);
    };
    int at = 0;
    doc.insert(at++, "01:00:01" + name.trimmed().toStdString() + "99C");
    doc.insert(at++, header("sfondo rosso", back.red()));
    doc.insert(at++, header("sfondo verde", back.green()));
    doc.insert(at++, header("sfondo blu", back.blue()));
    doc.insert(at++, header("testo rosso", text.red()));
    doc.insert(at++, header("testo verde", text.green()));
    doc.insert(at++, header("testo blu", text.blue()));
    QString background = QStringLiteral(" ");
    if (!picture.isEmpty()) {
        background = QDir(q(folder.string())).relativeFilePath(picture);
        background.replace(QLatin1Char('/'), QLatin1Char('\\'));
    }
    doc.insert(at++, "99:00:00" + background.toStdString() + "V");
    doc.insert(at++, "**");
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string file = (folder / (name.trimmed().toStdString() + ".txt")).string();
    if (auto problem = writeReplacing(file, doc.bytes(), false)) {
        QMessageBox::warning(
            &window_, QStringLiteral("Nuovo copione"),
            QStringLiteral("Impossibile scrivere %1: %2").arg(q(file), q(*problem)));
        return;
    }
    openScript(file);
}

}  // namespace quilo
