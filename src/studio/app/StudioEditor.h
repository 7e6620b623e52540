#pragma once
// The script being edited in the studio: its document and undo stack, every
// edit the keys, the form and the timeline make (each one step of undo), the
// list and the timeline's markers painted from it, and the checker's findings
// on it, run behind the editing. Each change is played at once by the show.

#include <QObject>
#include <QTimer>
#include <QUndoStack>
#include <optional>
#include <string>
#include <vector>

#include "script/ScriptChecker.h"
#include "studio/LineIndex.h"
#include "studio/ScriptDocument.h"
#include "studio/ScriptEdits.h"
#include "studio/app/StudioShow.h"
#include "studio/view/StudioWindow.h"

namespace quilo {

class StudioEditor : public QObject {
    Q_OBJECT
  public:
    StudioEditor(StudioWindow& window, StudioShow& show, std::string root);

    ScriptDocument& document() { return document_; }
    QUndoStack& undoStack() { return undo_; }
    const CheckReport& findings() const { return findings_; }
    std::vector<std::string> lineTexts() const;

    // A new document for `path`, shown from its first cue, with no undo.
    void load(ScriptDocument document, const std::string& path);
    // The document is now the file at `path` (saved under another name).
    void renamed(const std::string& path);
    // The whole document replaced by `lines`, as one step of undo.
    void replaceAll(const std::vector<std::string>& lines, const QString& name);
    void setLine(int line, const std::string& text);  // one step of undo
    void replaceLines(int first, std::vector<std::string> before, std::vector<std::string> after,
                      const QString& name);

    // The keys' and the form's edits.
    void tap();
    void nudge(int seconds);
    void insertLine();
    void removeLine();
    void fieldEdited(int row, LineField field, const std::string& value);
    void chooseFile(int row, const std::string& name);

    // The list and the playhead follow each other.
    void lineChosen(int row);
    void moveTo(const CdPosition& target);
    void selectQuietly(int row);

    // The lines changed (an edit, its undo or a reload).
    void documentChanged();

  signals:
    // The checker's findings on the document as it stands have arrived.
    void checked();

  private:
    void selectCueAt(const CdPosition& at);
    void refreshRows();
    void refreshMarkers();
    void runChecks();
    void showSelected();

    StudioWindow& window_;
    StudioShow& show_;
    std::string root_;
    std::string path_;
    ScriptDocument document_;
    QUndoStack undo_;
    LineIndex index_;
    QTimer reloadSoon_;
    QTimer checkSoon_;
    bool checking_ = false;
    bool recheck_ = false;
    CheckReport findings_;
    int checkGeneration_ = 0;
    bool following_ = false;  // the list is being moved to the playhead
};

}  // namespace quilo
