#pragma once
// The studio's window: the show's preview, the timeline, the list of lines
// and a form for the selected one, with every key of the studio as an action.
// It paints what it is given and hands every action on; the studio decides.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <functional>
#include <optional>

#include "display/view/DisplayView.h"
#include "shared/CdPosition.h"
#include "studio/ScriptEdits.h"
#include "studio/view/LineListModel.h"
#include "studio/view/TimelineView.h"

namespace quilo {

// What the form shows of the selected line.
struct FormLine {
    int row = -1;
    QString whole;  // the line as written
    bool cue = false;
    QString time;
    QString letter;  // "" for a plain caption
    QString body;
    NumberKind numberKind = NumberKind::None;  // what the two digits are, if any
    std::optional<int> number;
};

class StudioWindow : public QMainWindow {
    Q_OBJECT
  public:
    StudioWindow();

    DisplayView& preview() { return *preview_; }
    TimelineView& timeline() { return *timeline_; }
    QTableView& lineList() { return *list_; }
    LineListModel& lines() { return model_; }

    void showForm(const FormLine& line);
    void selectRow(int row);
    // These lines selected together, the first of them current.
    void selectRows(const std::vector<int>& rows);
    int selectedRow() const;
    // Every line selected (Maiusc/Ctrl+click), in order; the current one when none.
    std::vector<int> selectedRows() const;
    // The loader's refusal, shown above everything until mended; empty hides it.
    void setBanner(const QString& text);
    void setStatus(const QString& text);
    // The heard position, as TT:MM:SS:FF.
    void setPosition(const CdPosition& heard);
    // A field typed in and not yet confirmed is an edit all the same: it is
    // handed on now (before saving, closing, or choosing another line).
    void commitForm();

    struct Actions {
        std::function<void()> playPause, home, previousCue, nextCue, tap, insert, remove;
        std::function<void(int seconds)> nudge;
        std::function<void()> save, saveAs, exportShow, newScript, open, quit, undo, redo,
            showDisplay, zoomIn, zoomOut;
        std::function<void()> gotoTime, replay, loop, shiftLater, find, findNext, replace,
            tapOffset;
        std::function<void(int row)> selected;
        std::function<void(int row, QString line)> lineEdited;
        std::function<void(int row, LineField field, QString value)> fieldEdited;
        std::function<void()> chooseFile;
        std::function<bool()> mayClose;
    } actions;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* makeForm();
    void addActions();
    void fieldChanged(LineField field, const QString& value);
    bool typing() const;  // a text field has the focus
    void fitScreen();

    LineListModel model_;
    DisplayView* preview_ = nullptr;
    TimelineView* timeline_ = nullptr;
    QTableView* list_ = nullptr;
    QLabel* banner_ = nullptr;
    QLineEdit* whole_ = nullptr;
    QLineEdit* time_ = nullptr;
    QComboBox* letter_ = nullptr;
    QLineEdit* body_ = nullptr;
    QComboBox* colour_ = nullptr;
    QSpinBox* seconds_ = nullptr;
    QLabel* colourLabel_ = nullptr;
    QLabel* secondsLabel_ = nullptr;
    QPushButton* file_ = nullptr;
    QLabel* position_ = nullptr;
    int formRow_ = -1;         // the line the form shows
    bool filling_ = false;     // the form is being filled, not edited
    bool committing_ = false;  // a typed field is being handed on
    int secondsShown_ = 0;
};

}  // namespace quilo
