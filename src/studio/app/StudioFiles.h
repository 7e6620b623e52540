#pragma once
// The script's file in the studio: opening, a new script, saving (also under
// another name), the question before anything unsaved is dropped, a recovery
// copy of unsaved edits every few seconds, and a file changed or removed by
// another program. Nothing the author typed is lost without a question.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "bundle/io/ShowCache.h"
#include "shared/MessageBox.h"
#include "studio/app/StudioEditor.h"
#include "studio/io/RecoveryCopy.h"
#include "studio/view/StudioWindow.h"

namespace quilo {

class StudioFiles : public QObject {
    Q_OBJECT
  public:
    StudioFiles(StudioWindow& window, StudioEditor& editor, MessageBox& alerts, std::string root,
                std::string recoveryFolder);

    const std::string& path() const { return path_; }
    // Saving `show`'s script also writes the show file `file` again.
    void linkShowFile(const std::string& file, OpenedShow* show) {
        showFile_ = file;
        show_ = show;
    }
    void open(const std::string& path);
    void openChosen();  // "Apri…"
    // A show file chosen in "Apri…": it has its own folder and music, so the
    // studio starts again on it.
    std::function<void(const std::string&)> onShowChosen;
    void newScript();
    bool save();
    bool saveAs();
    // Whether what is unsaved may go: saved, or dropped on the author's word.
    bool mayClose();
    // The recovery copy of unsaved edits, written now; `withForm`: with what
    // a field of the form holds (a signal to end the program came).
    void keepRecoveryCopy(bool withForm);
    // The program ends with nothing unsaved: no copy is needed any more.
    void closed();

  private:
    std::optional<std::string> readScript(const std::string& file);
    void adopt(const std::string& file, const std::string& bytes, ScriptDocument document);
    void offerRecovery();
    bool writeTo(const std::string& file, bool keepBackup);
    bool writeShowFile(const std::string& file);
    void watch();
    void fileChangedOnDisk();
    std::string allegato() const;
    void alert(const QString& text);

    StudioWindow& window_;
    MessageBox& alerts_;
    StudioEditor& editor_;
    std::string root_;
    std::string recoveryFolder_;
    std::string path_;
    std::string savedBytes_;  // what is on disk as far as the studio knows
    bool onDisk_ = false;     // the file existed when opened or last saved
    bool backedUp_ = false;
    std::string showFile_;
    OpenedShow* show_ = nullptr;
    QFileSystemWatcher watcher_;
    QTimer recoverySoon_;
};

}  // namespace quilo
