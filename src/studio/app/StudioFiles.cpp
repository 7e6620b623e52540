#include "studio/app/StudioFiles.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <filesystem>

#include "shared/RegularFile.h"
#include "shared/TextFile.h"
#include "studio/app/StudioDialogs.h"
#include "studio/io/SafeWrite.h"

namespace quilo {
namespace {

// A script is at most 2001 lines of 32767 characters, four bytes each at worst.
constexpr std::size_t kScriptLimit = std::size_t(2001) * (32767 * 4 + 2);
constexpr int kRecoveryMs = 2000;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

StudioFiles::StudioFiles(StudioWindow& window, StudioEditor& editor, MessageBox& alerts,
                         std::string root, std::string recoveryFolder)
    : window_(window),
      alerts_(alerts),
      editor_(editor),
      root_(std::move(root)),
      recoveryFolder_(recoveryFolder.empty() ? RecoveryCopy::defaultFolder()
                                             : std::move(recoveryFolder)) {
    recoverySoon_.setSingleShot(true);
    recoverySoon_.setInterval(kRecoveryMs);
    connect(&recoverySoon_, &QTimer::timeout, this, [this] { keepRecoveryCopy(false); });
    QUndoStack& undo = editor_.undoStack();
    connect(&undo, &QUndoStack::indexChanged, this, [this] {
        if (!recoverySoon_.isActive()) recoverySoon_.start();
    });
    connect(&undo, &QUndoStack::cleanChanged, this, [this](bool clean) {
        window_.setWindowModified(!clean);
        if (clean) RecoveryCopy(recoveryFolder_, path_, kScriptLimit).discard();
    });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { fileChangedOnDisk(); });
}

// Said on the banner, where it stays until the script plays again, and on the terminal.
void StudioFiles::alert(const QString& text) {
    alerts_.show(text.toStdString());
}

std::string StudioFiles::allegato() const {
    return (std::filesystem::path(root_) / "Allegato").string();
}

// The file's bytes; none, with the reason on the banner, when it cannot be read.
std::optional<std::string> StudioFiles::readScript(const std::string& file) {
    std::string bytes;
    const FileProblem problem = readRegularFile(file, kScriptLimit, bytes);
    if (problem == FileProblem::None || problem == FileProblem::Missing) return bytes;
    alert(QStringLiteral("Impossibile aprire %1: %2").arg(q(file), q(describeProblem(problem))));
    return std::nullopt;
}

void StudioFiles::open(const std::string& file) {
    const auto bytes = readScript(file);
    // A file that cannot be read is not replaced by an empty one: the new
    // script has no name until saved under one.
    if (!bytes) {
        adopt("", "", ScriptDocument::empty(TextEncoding::Windows1252, true));
        return;
    }
    ScriptDocument document = ScriptDocument::fromBytes(*bytes);
    if (file == path_) document.keepEncoding(editor_.document().encoding());
    adopt(file, *bytes, std::move(document));
    if (const int from = readScriptText(*bytes).mixedLineEndsFrom)
        alert(QStringLiteral("Il lettore rifiuta questo copione: dalla riga %1 le "
                             "righe finiscono con il solo LF, prima con CR LF.")
                  .arg(from));
    offerRecovery();
}

void StudioFiles::adopt(const std::string& file, const std::string& bytes,
                        ScriptDocument document) {
    path_ = file;
    savedBytes_ = bytes;
    onDisk_ = !file.empty() && QFileInfo::exists(q(file));
    backedUp_ = false;
    watch();
    const QString name =
        file.empty() ? QStringLiteral("senza nome") : QFileInfo(q(file)).fileName();
    window_.setWindowTitle(QStringLiteral("%1[*] \u2014 Quilo Studio").arg(name));
    editor_.load(std::move(document), file);
}

// Edits a crash or a kill left unsaved, offered back when the script opens.
void StudioFiles::offerRecovery() {
    const RecoveryCopy copy(recoveryFolder_, path_, kScriptLimit);
    const auto kept = copy.read();
    if (!kept || *kept == savedBytes_) {
        copy.discard();
        return;
    }
    const int answer = ask(&window_,
                           QStringLiteral("Ci sono modifiche a questo copione che non erano state "
                                          "salvate (Quilo Studio si era chiuso). Recuperarle?"),
                           {QStringLiteral("Recupera"), QStringLiteral("Scarta")});
    if (answer != 0) {
        copy.discard();
        return;
    }
    const ScriptDocument recovered = ScriptDocument::fromBytes(*kept);
    std::vector<std::string> lines;
    for (const DocumentLine& line : recovered.lines()) lines.push_back(line.text);
    editor_.replaceAll(lines, QStringLiteral("Recupero delle modifiche"));
}

void StudioFiles::keepRecoveryCopy(bool withForm) {
    // The form is left alone while the author types in it; on the way out
    // what it holds counts too.
    if (withForm) window_.commitForm();
    if (editor_.undoStack().isClean()) return;
    if (auto problem =
            RecoveryCopy(recoveryFolder_, path_, kScriptLimit).write(editor_.document().bytes()))
        window_.setStatus(QStringLiteral("Copia di ripristino non scritta: %1").arg(q(*problem)));
}

void StudioFiles::closed() {
    recoverySoon_.stop();
}

void StudioFiles::openChosen() {
    if (!mayClose()) return;
    const QString file = QFileDialog::getOpenFileName(
        &window_, QStringLiteral("Apri un copione"), q(allegato()),
        QStringLiteral("Copioni e spettacoli (*.txt *.TXT *.quilo *.QUILO)"));
    if (file.isEmpty()) return;
    if (isShowFile(file.toStdString()) && onShowChosen) {
        onShowChosen(file.toStdString());
        return;
    }
    open(file.toStdString());
}

bool StudioFiles::save() {
    window_.commitForm();
    if (path_.empty()) return saveAs();
    if (onDisk_ && !QFileInfo::exists(q(path_))) {
        const int answer =
            ask(&window_,
                QStringLiteral("Il file %1 è stato eliminato o spostato da un altro programma. "
                               "Salvare il copione di nuovo lì?")
                    .arg(q(path_)),
                {QStringLiteral("Salva lì"), QStringLiteral("Salva con nome…"),
                 QStringLiteral("Annulla")});
        if (answer == 1) return saveAs();
        if (answer == 2) return false;
    }
    return writeTo(path_, !backedUp_);
}

bool StudioFiles::saveAs() {
    window_.commitForm();
    const QString start = path_.empty() ? q(allegato()) : q(path_);
    QString file = QFileDialog::getSaveFileName(&window_, QStringLiteral("Salva con nome"), start,
                                                QStringLiteral("Copioni (*.txt *.TXT)"));
    if (file.isEmpty()) return false;
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".txt");
    const std::string target = file.toStdString();
    if (!writeTo(target, QFileInfo::exists(file))) return false;
    RecoveryCopy(recoveryFolder_, path_, kScriptLimit).discard();
    path_ = target;
    window_.setWindowTitle(
        QStringLiteral("%1[*] \u2014 Quilo Studio").arg(QFileInfo(file).fileName()));
    editor_.renamed(target);
    watch();
    return true;
}

bool StudioFiles::writeTo(const std::string& file, bool keepBackup) {
    if (!convertibleForSaving(&window_, editor_)) return false;
    const std::string bytes = editor_.document().bytes();
    if (auto problem = writeReplacing(file, bytes, keepBackup)) {
        alert(QStringLiteral("Il copione non è stato salvato in %1: %2. Le modifiche "
                             "restano qui: «Salva con nome…» (Ctrl+Maiusc+S) lo salva "
                             "altrove.")
                  .arg(q(file), q(*problem)));
        return false;
    }
    backedUp_ = true;
    onDisk_ = true;
    savedBytes_ = bytes;
    if (!writeShowFile(file)) return false;
    RecoveryCopy(recoveryFolder_, path_, kScriptLimit).discard();
    editor_.undoStack().setClean();
    const bool inShow = show_ && file == show_->script;
    window_.setStatus(inShow ? QStringLiteral("Salvato nello spettacolo: %1").arg(q(showFile_))
                             : QStringLiteral("Salvato: %1").arg(q(file)));
    return true;
}

// The script saved in an opened show's folder goes back into the show file;
// until it does, the edits count as unsaved.
bool StudioFiles::writeShowFile(const std::string& file) {
    if (!show_ || file != show_->script) return true;
    std::string error;
    if (saveShowFile(showFile_, *show_, error)) return true;
    alert(QStringLiteral("Il copione è salvato nella cartella dello spettacolo, ma lo spettacolo "
                         "%1 non è stato aggiornato: %2. Il file di prima è rimasto com'era.")
              .arg(q(showFile_), q(error)));
    return false;
}

bool StudioFiles::mayClose() {
    window_.commitForm();
    if (editor_.undoStack().isClean()) return true;
    const int answer =
        ask(&window_, QStringLiteral("Il copione ha modifiche non salvate. Salvarle?"),
            {QStringLiteral("Salva"), QStringLiteral("Non salvare"), QStringLiteral("Annulla")});
    if (answer == 2) return false;
    if (answer == 1) {
        RecoveryCopy(recoveryFolder_, path_, kScriptLimit).discard();
        return true;
    }
    return save();
}

void StudioFiles::watch() {
    if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
    if (!path_.empty() && QFileInfo::exists(q(path_))) watcher_.addPath(q(path_));
}

void StudioFiles::fileChangedOnDisk() {
    if (!QFileInfo::exists(q(path_))) {
        alert(QStringLiteral("Il file %1 è stato eliminato o spostato da un altro "
                             "programma. Le righe restano qui: Ctrl+S lo riscrive, "
                             "Ctrl+Maiusc+S lo salva altrove.")
                  .arg(q(path_)));
        return;
    }
    std::string bytes;
    if (readRegularFile(path_, kScriptLimit, bytes) != FileProblem::None || bytes == savedBytes_) {
        watch();
        return;
    }
    savedBytes_ = bytes;
    const bool clean = editor_.undoStack().isClean();
    const int answer =
        ask(&window_,
            QStringLiteral("Il copione è stato cambiato da un altro programma. Ricaricarlo?%1")
                .arg(clean ? QString() : QStringLiteral(" Le modifiche fatte qui andranno perse.")),
            {QStringLiteral("Ricarica"), QStringLiteral("Lascia com'è")});
    if (answer == 0) open(path_);
    watch();
}

}  // namespace quilo

namespace quilo {
namespace {

// A new script: its first line, the seven header lines from two colours and
// an optional background, and the "**" line.
ScriptDocument starterScript(const NewScriptChoice& choice, const QString& folder) {
    ScriptDocument doc =
        ScriptDocument::empty(choice.utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252, true);
    auto header = [](const char* what, int value) {
        char line[40];
        std::snprintf(line, sizeof line, "99 %-17s%3d", what, std::clamp(value, 0, 255));
        return std::string(line);
    };
    int at = 0;
    doc.insert(at++, "01:00:01" + choice.name.toStdString() + "99C");
    doc.insert(at++, header("sfondo rosso", choice.back.red()));
    doc.insert(at++, header("sfondo verde", choice.back.green()));
    doc.insert(at++, header("sfondo blu", choice.back.blue()));
    doc.insert(at++, header("testo rosso", choice.text.red()));
    doc.insert(at++, header("testo verde", choice.text.green()));
    doc.insert(at++, header("testo blu", choice.text.blue()));
    QString background = QStringLiteral(" ");
    if (!choice.picture.isEmpty()) {
        background = QDir(folder).relativeFilePath(choice.picture);
        background.replace(QLatin1Char('/'), QLatin1Char('\\'));
    }
    doc.insert(at++, "99:00:00" + background.toStdString() + "V");
    doc.insert(at++, "**");
    return doc;
}

}  // namespace

// A new script, where the chooser finds it. An existing file of that name is
// replaced only on the author's word, and kept as .bak.
void StudioFiles::newScript() {
    const QString folder = q(allegato());
    bool replacing = false;
    const auto taken = [&](const QString& name) {
        const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".txt");
        replacing = QFileInfo::exists(file);
        return replacing && ask(&window_,
                                QStringLiteral("Esiste già il copione %1. Sostituirlo con quello "
                                               "nuovo? Il vecchio resta come %1.bak.")
                                    .arg(QFileInfo(file).fileName()),
                                {QStringLiteral("Sostituisci"), QStringLiteral("Annulla")}) != 0;
    };
    const auto choice = askNewScript(&window_, folder, taken);
    if (!choice) {
        if (path_.empty()) open(allegato() + "/nuovo.txt");
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(allegato(), ec);
    const std::string file = allegato() + "/" + choice->name.toStdString() + ".txt";
    ScriptDocument doc = starterScript(*choice, folder);
    if (auto problem = writeReplacing(file, doc.bytes(), replacing)) {
        alert(QStringLiteral("Impossibile scrivere %1: %2").arg(q(file), q(*problem)));
        return;
    }
    // The document made, not the file read back: it keeps the encoding chosen.
    const std::string bytes = doc.bytes();
    adopt(file, bytes, std::move(doc));
}

}  // namespace quilo
