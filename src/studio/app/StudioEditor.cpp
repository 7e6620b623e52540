#include "studio/app/StudioEditor.h"

#include "studio/app/StudioRows.h"

#include <QMetaObject>
#include <QThreadPool>
#include <algorithm>

#include "display/Colours.h"
#include "display/view/QtPictureProber.h"
#include "presentation/CueJumps.h"
#include "presentation/PlayCheck.h"
#include "shared/LineFormat.h"
#include "shared/Utf8.h"
#include "tools/DecodingSoundCheck.h"

namespace quilo {
namespace {

constexpr int kCheckDelayMs = 300;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

// One edit of the script's lines: the lines from `first` before and after.
class LineEditCommand : public QUndoCommand {
  public:
    LineEditCommand(StudioEditor& editor, int first, std::vector<std::string> before,
                    std::vector<std::string> after, const QString& name)
        : QUndoCommand(name),
          editor_(editor),
          first_(first),
          before_(std::move(before)),
          after_(std::move(after)) {}
    void redo() override { put(before_.size(), after_); }
    void undo() override { put(after_.size(), before_); }

  private:
    void put(std::size_t replacing, const std::vector<std::string>& lines) {
        ScriptDocument& doc = editor_.document();
        const std::size_t common = std::min(replacing, lines.size());
        for (std::size_t i = 0; i < common; ++i) doc.setText(first_ + int(i), lines[i]);
        for (std::size_t i = common; i < replacing; ++i) doc.remove(first_ + int(common));
        for (std::size_t i = common; i < lines.size(); ++i) doc.insert(first_ + int(i), lines[i]);
        editor_.documentChanged();
        editor_.selectQuietly(first_);
    }

    StudioEditor& editor_;
    int first_;
    std::vector<std::string> before_;
    std::vector<std::string> after_;
};

StudioEditor::StudioEditor(StudioWindow& window, StudioShow& show, std::string root)
    : window_(window), show_(show), root_(std::move(root)) {
    checkSoon_.setSingleShot(true);
    checkSoon_.setInterval(kCheckDelayMs);
    connect(&checkSoon_, &QTimer::timeout, this, [this] { runChecks(); });
    reloadSoon_.setSingleShot(true);
    reloadSoon_.setInterval(0);
    connect(&reloadSoon_, &QTimer::timeout, this,
            [this] { show_.reload(document_.scriptBytes(), path_, lineTexts()); });
}

std::vector<std::string> StudioEditor::lineTexts() const {
    std::vector<std::string> texts;
    texts.reserve(document_.lines().size());
    for (const DocumentLine& line : document_.lines()) texts.push_back(line.text);
    return texts;
}

void StudioEditor::load(ScriptDocument document, const std::string& path) {
    document_ = std::move(document);
    path_ = path;
    undo_.clear();
    findings_ = {};
    show_.play(document_.scriptBytes(), path_, lineTexts());
    documentChanged();
    reloadSoon_.stop();  // just played as it is
    selectQuietly(index_.cues().empty() ? 0 : index_.cues().front());
}

void StudioEditor::renamed(const std::string& path) {
    path_ = path;
    documentChanged();
}

void StudioEditor::replaceAll(const std::vector<std::string>& lines, const QString& name) {
    replaceLines(0, lineTexts(), lines, name);
}

void StudioEditor::setLine(int line, const std::string& text) {
    if (line < 0 || line >= document_.lineCount() || document_.text(line) == text) return;
    replaceLines(line, {document_.text(line)}, {text},
                 QStringLiteral("Modifica della riga %1").arg(line + 1));
}

void StudioEditor::replaceLines(int first, std::vector<std::string> before,
                                std::vector<std::string> after, const QString& name) {
    if (before == after) return;
    undo_.push(new LineEditCommand(*this, first, std::move(before), std::move(after), name));
}

// The selected cue takes the second now heard, and the next cue is selected:
// tapping along with the music times line after line.
void StudioEditor::tap() {
    CdPosition heard = show_.heard();
    if (tapOffsetMs_ != 0) {
        const int sectors = heard.sectorsIntoTrack() - tapOffsetMs_ * kSectorsPerSecond / 1000;
        heard = CdPosition::inTrack(heard.track, std::max(0, sectors));
    }
    const int row = window_.selectedRow();
    if (row < 0 || row >= document_.lineCount() || !isCueLine(document_.text(row))) {
        window_.setStatus(QStringLiteral("Scegliere una riga a tempo"));
        return;
    }
    setLine(row, retimed(document_.text(row), tappedStamp(heard)));
    for (int cue : index_.cues()) {
        if (cue <= row) continue;
        selectQuietly(cue);
        break;
    }
}

void StudioEditor::nudge(int seconds) {
    shiftLines(
        window_.selectedRows(), seconds,
        seconds < 0 ? QStringLiteral("Un secondo prima") : QStringLiteral("Un secondo dopo"));
}

// The cue lines among `lines` moved by `seconds`, as one step of undo.
void StudioEditor::shiftLines(const std::vector<int>& lines, int seconds, const QString& name) {
    std::vector<int> cues;
    for (int line : lines)
        if (line >= 0 && line < index_.size() && index_.at(line).cue && !index_.inBlock(line))
            cues.push_back(line);
    if (cues.empty() || seconds == 0) return;
    const int first = cues.front(), last = cues.back();
    std::vector<std::string> before, after;
    for (int i = first; i <= last; ++i) before.push_back(document_.text(i));
    after = before;
    for (int cue : cues) after[std::size_t(cue - first)] = shifted(document_.text(cue), seconds);
    const std::vector<int> selected = window_.selectedRows();
    replaceLines(first, std::move(before), std::move(after), name);
    window_.selectRows(selected);
}

void StudioEditor::shiftLater(int seconds) {
    const int row = window_.selectedRow();
    if (row < 0 || row >= index_.size()) return;
    const int track = index_.at(row).decoded.track;
    std::vector<int> later;
    for (int cue : index_.cues())
        if (cue >= row && index_.at(cue).decoded.track == track) later.push_back(cue);
    shiftLines(later, seconds, QStringLiteral("Spostamento da qui in poi"));
}

CdPosition StudioEditor::cueAt(int line) const {
    const DecodedLine& d = index_.at(line).decoded;
    return {d.track, d.minutes, d.seconds, 0};
}

void StudioEditor::markerMoved(int line, const CdPosition& to) {
    const std::vector<int> selected = window_.selectedRows();
    const bool group =
        selected.size() > 1 && std::find(selected.begin(), selected.end(), line) != selected.end();
    if (!group || line >= index_.size() || to.track != cueAt(line).track) {
        fieldEdited(line, LineField::Time, timeStamp(to.track, to.minutes, to.seconds));
        return;
    }
    const CdPosition from = cueAt(line);
    const int seconds = (to.minutes * 60 + to.seconds) - (from.minutes * 60 + from.seconds);
    shiftLines(selected, seconds, QStringLiteral("Spostamento delle righe scelte"));
}

bool StudioEditor::find(const QString& text) {
    if (text.isEmpty()) return false;
    const int count = document_.lineCount();
    const int from = window_.selectedRow();
    for (int step = 1; step <= count; ++step) {
        const int line = ((from < 0 ? -1 : from) + step) % count;
        if (q(document_.text(line)).contains(text, Qt::CaseInsensitive)) {
            window_.selectRow(line);
            return true;
        }
    }
    return false;
}

int StudioEditor::replaceText(const QString& text, const QString& with) {
    if (text.isEmpty()) return 0;
    std::vector<std::string> before = lineTexts(), after = before;
    int changed = 0;
    for (int i = 0; i < index_.size(); ++i) {
        const bool cue = index_.at(i).cue && !index_.inBlock(i);
        if (!cue && !index_.inBlock(i)) continue;  // the header, comments: not text
        const std::string& line = before[std::size_t(i)];
        const QString part = q(cue ? index_.at(i).parts.body : line);
        if (!part.contains(text, Qt::CaseInsensitive)) continue;
        const std::string replaced =
            QString(part).replace(text, with, Qt::CaseInsensitive).toStdString();
        after[std::size_t(i)] = cue ? withField(line, LineField::Body, replaced) : replaced;
        ++changed;
    }
    replaceLines(0, std::move(before), std::move(after),
                 QStringLiteral("Sostituzione di «%1»").arg(text));
    return changed;
}

std::optional<std::pair<CdPosition, CdPosition>> StudioEditor::selectedSpan() const {
    std::vector<int> cues;
    for (int line : window_.selectedRows())
        if (line < index_.size() && index_.at(line).cue && !index_.inBlock(line))
            cues.push_back(line);
    if (cues.empty()) return std::nullopt;
    const CdPosition from = cueAt(cues.front());
    CdPosition to = secondsLater(cueAt(cues.back()), 5);
    for (int cue : index_.cues()) {
        if (cue <= cues.back()) continue;
        if (cueAt(cue).track == from.track) to = cueAt(cue);
        break;
    }
    return std::make_pair(from, to);
}

void StudioEditor::insertLine() {
    const CdPosition heard = show_.heard();
    const std::string line = tappedStamp(heard) + "Nuova didascalia15C";
    // Before the first cue that comes later, so that the lines stay in order.
    int at = document_.terminated() ? document_.lineCount() - 1 : document_.lineCount();
    for (int cue : index_.cues()) {
        const DecodedLine& d = index_.at(cue).decoded;
        if (discOrder({d.track, d.minutes, d.seconds, 0}) >
            discOrder({heard.track, heard.minutes, heard.seconds, 0})) {
            at = cue;
            break;
        }
    }
    replaceLines(at, {}, {line}, QStringLiteral("Nuova riga"));
}

void StudioEditor::removeLine() {
    const int row = window_.selectedRow();
    if (row < 0 || row >= document_.lineCount()) return;
    const std::vector<std::string> texts = lineTexts();
    const int last = isCueLine(texts[row]) ? blockEnd(texts, row) : row;
    std::vector<std::string> removed(texts.begin() + row, texts.begin() + last + 1);
    replaceLines(row, removed, {}, QStringLiteral("Eliminazione"));
}

void StudioEditor::fieldEdited(int row, LineField field, const std::string& value) {
    if (row < 0 || row >= document_.lineCount() || !isCueLine(document_.text(row))) return;
    setLine(row, withField(document_.text(row), field, value));
}

void StudioEditor::chooseFile(int row, const std::string& name) {
    fieldEdited(row, LineField::Body, name);
}

void StudioEditor::moveTo(const CdPosition& target) {
    show_.showAt(target);
    selectCueAt(target);
}

// The list follows the playhead: the last cue at or before it is selected.
void StudioEditor::selectCueAt(const CdPosition& at) {
    std::optional<int> found;
    for (int cue : index_.cues()) {
        const DecodedLine& d = index_.at(cue).decoded;
        if (discOrder({d.track, d.minutes, d.seconds, 0}) <=
            discOrder({at.track, at.minutes, at.seconds, 0}))
            found = cue;
    }
    if (found) selectQuietly(*found);
}

void StudioEditor::selectQuietly(int row) {
    following_ = true;
    window_.selectRow(row);
    following_ = false;
}

// ... and the playhead follows the list: a cue chosen while the disc is not
// playing moves the show to its second. While it plays, choosing a line only
// chooses what the next tap times.
void StudioEditor::lineChosen(int row) {
    showSelected();
    if (following_ || show_.playing()) return;
    if (row < 0 || row >= document_.lineCount() || !isCueLine(document_.text(row))) return;
    const DecodedLine d = decodeLine(document_.text(row));
    show_.showAt({d.track, d.minutes, d.seconds, 0});
}

// The list, the markers and the form at once; the preview and the checker
// once the list is painted, each edit since taken together.
void StudioEditor::documentChanged() {
    index_.update(document_.lines());
    refreshRows();
    showSelected();
    reloadSoon_.start();
    checkSoon_.start();
}

void StudioEditor::refreshRows() {
    window_.lines().setRows(listRows(document_, index_, findings_));
}

void StudioEditor::refreshMarkers() {
    window_.timeline().setMarkers(cueMarkers(index_, window_.selectedRows(),
                                             [this](CdPosition p) { return show_.discSector(p); }));
}

// The checker runs on the document as it stands, off the interface thread;
// a result for a document that has changed since is dropped.
void StudioEditor::runChecks() {
    // One check at a time: edits made meanwhile are checked together after it.
    if (checking_) {
        recheck_ = true;
        return;
    }
    checking_ = true;
    const int generation = ++checkGeneration_;
    const std::string path = path_, root = root_, text = document_.scriptBytes();
    const auto disc = show_.showDiscTracks();
    QThreadPool::globalInstance()->start([this, generation, path, root, text, disc] {
        QtPictureProber pictures;
        DecodingSoundCheck sounds;
        CheckReport report = checkScriptFully(path, root, pictures, sounds, text, disc);
        QMetaObject::invokeMethod(
            this,
            [this, generation, report] {
                checking_ = false;
                if (recheck_) {
                    recheck_ = false;
                    runChecks();
                    return;
                }
                if (generation != checkGeneration_) return;
                findings_ = report;
                refreshRows();
                emit checked();
            },
            Qt::QueuedConnection);
    });
}

void StudioEditor::showSelected() {
    window_.showForm(formFor(document_, index_, window_.selectedRow()));
    refreshMarkers();
}

}  // namespace quilo
