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

    // Milliseconds taken off every tap: people tap a little after they hear.
    void setTapOffsetMs(int ms) { tapOffsetMs_ = ms; }
    // The keys' and the form's edits.
    void tap();
    // Every selected cue a few seconds earlier or later, as one step.
    void nudge(int seconds);
    // Every cue of the selected one's track from it on, as one step.
    void shiftLater(int seconds);
    // A marker dragged to `sector`; the other selected cues follow it.
    void markerMoved(int line, const CdPosition& to);
    // The next line after the selected one whose text holds `text`
    // (whatever the case), selected; whether there was one.
    bool find(const QString& text);
    // `text` replaced by `with` in every cue's text or file name and every
    // block line, as one step; how many lines changed.
    int replaceText(const QString& text, const QString& with);
    // The selected cues' span: from the first to the next cue after the last.
    std::optional<std::pair<CdPosition, CdPosition>> selectedSpan() const;
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
    void shiftLines(const std::vector<int>& lines, int seconds, const QString& name);
    CdPosition cueAt(int line) const;
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
    bool following_ = false;
    int tapOffsetMs_ = 0;  // the list is being moved to the playhead
};

}  // namespace quilo
