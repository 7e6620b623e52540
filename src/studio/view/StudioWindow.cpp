#include "studio/view/StudioWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "display/Colours.h"
#include "script/ScriptCommand.h"
#include "studio/ScriptEdits.h"

namespace quilo {
namespace {

const char* const kKeys =
    "Spazio suona/pausa · Home inizio · Ctrl+G vai a · Ctrl+\u2190/\u2192 cue · Invio o T dà "
    "alla riga il secondo che si sente · R riascolta · L ciclo · Alt+\u2190/\u2192 un secondo "
    "prima/dopo (Maiusc/Ctrl+clic: più righe) · Ctrl+J sposta da qui in poi · Ins nuova · Canc "
    "elimina · Ctrl+Z/Maiusc+Z annulla/ripeti · Ctrl+F/H trova/sostituisci · Ctrl+S salva · "
    "+/\u2212 zoom · F5 spettacolo";

QIcon swatch(Rgb rgb) {
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor(rgb.r, rgb.g, rgb.b));
    return QIcon(pixmap);
}

}  // namespace

StudioWindow::StudioWindow() {
    setWindowTitle(QStringLiteral("Quilo Studio"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    banner_ = new QLabel(central);
    banner_->setAccessibleName(QStringLiteral("Problema del copione"));
    banner_->setWordWrap(true);
    banner_->setStyleSheet(QStringLiteral("background:#7a1f1f;color:white;padding:6px;"));
    banner_->hide();
    layout->addWidget(banner_);

    auto* vertical = new QSplitter(Qt::Vertical, central);
    auto* top = new QSplitter(Qt::Horizontal, vertical);
    preview_ = new DisplayView(DisplayView::blankForm(), top);
    preview_->setAccessibleName(QStringLiteral("Anteprima dello spettacolo"));
    preview_->setMinimumSize(320, 240);
    auto* right = new QWidget(top);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    list_ = new QTableView(right);
    list_->setModel(&model_);
    list_->setAccessibleName(QStringLiteral("Righe del copione"));
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(false);
    for (int column :
         {LineListModel::Number, LineListModel::Time, LineListModel::Letter, LineListModel::Colour})
        list_->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    list_->horizontalHeader()->setSectionResizeMode(LineListModel::Body, QHeaderView::Stretch);
    list_->setTabKeyNavigation(false);
    rightLayout->addWidget(list_, 1);
    rightLayout->addWidget(makeForm());
    top->addWidget(preview_);
    top->addWidget(right);
    top->setStretchFactor(0, 1);
    top->setStretchFactor(1, 1);
    timeline_ = new TimelineView(vertical);
    vertical->addWidget(top);
    vertical->addWidget(timeline_);
    vertical->setStretchFactor(0, 3);
    vertical->setStretchFactor(1, 1);
    layout->addWidget(vertical, 1);
    auto* keys = new QLabel(QString::fromUtf8(kKeys), central);
    keys->setWordWrap(true);
    keys->setAccessibleName(QStringLiteral("Tasti"));
    layout->addWidget(keys);
    setCentralWidget(central);
    statusBar()->setAccessibleName(QStringLiteral("Stato"));

    position_ = new QLabel(QStringLiteral("01:00:00:00"), this);
    position_->setAccessibleName(QStringLiteral("Posizione"));
    position_->setToolTip(QStringLiteral("Il punto che si sente: brano, minuti, secondi, frame"));
    QFont mono = position_->font();
    mono.setFamily(QStringLiteral("Liberation Mono"));
    mono.setBold(true);
    mono.setPointSizeF(mono.pointSizeF() * 1.3);
    position_->setFont(mono);
    statusBar()->addPermanentWidget(position_);

    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                commitForm();  // what was typed belongs to the line left
                if (current.isValid() && actions.selected) actions.selected(current.row());
            });
    addActions();
    fitScreen();
}

// No larger than the screen leaves room for (small laptops, kiosks), its
// frame included, so that the status line stays in view.
void StudioWindow::fitScreen() {
    const QRect room = screen()->availableGeometry();
    const QMargins frame = frameGeometry().isValid() && isVisible()
                               ? QMargins(geometry().left() - frameGeometry().left(),
                                          geometry().top() - frameGeometry().top(),
                                          frameGeometry().right() - geometry().right(),
                                          frameGeometry().bottom() - geometry().bottom())
                               : QMargins(4, 30, 4, 4);
    const int width = std::min(1280, room.width() - frame.left() - frame.right());
    const int height = std::min(800, room.height() - frame.top() - frame.bottom());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(width, height);
    move(room.topLeft());
}

void StudioWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The window manager's frame is known once shown: fit again with it.
    QTimer::singleShot(200, this, [this] {
        const QRect room = screen()->availableGeometry();
        if (!room.contains(frameGeometry())) fitScreen();
    });
}

void StudioWindow::setPosition(const CdPosition& heard) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d:%02d", heard.track, heard.minutes,
                  heard.seconds, heard.frames);
    const QString shown = QString::fromLatin1(text);
    if (position_->text() != shown) position_->setText(shown);
}

bool StudioWindow::typing() const {
    QWidget* focus = QApplication::focusWidget();
    return qobject_cast<QLineEdit*>(focus) || qobject_cast<QAbstractSpinBox*>(focus);
}

QWidget* StudioWindow::makeForm() {
    auto* form = new QWidget(this);
    auto* layout = new QFormLayout(form);
    whole_ = new QLineEdit(form);
    whole_->setAccessibleName(QStringLiteral("Riga intera"));
    time_ = new QLineEdit(form);
    time_->setAccessibleName(QStringLiteral("Tempo"));
    time_->setInputMask(QStringLiteral("99:99:99"));
    letter_ = new QComboBox(form);
    letter_->setAccessibleName(QStringLiteral("Lettera del comando"));
    for (const LetterChoice& choice : letterChoices()) {
        const QString letter = QString::fromUtf8(choice.letter);
        const QString meaning = QString::fromUtf8(choice.meaning);
        letter_->addItem(letter.isEmpty() ? meaning : letter + QStringLiteral(" \u2014 ") + meaning,
                         letter);
    }
    body_ = new QLineEdit(form);
    body_->setAccessibleName(QStringLiteral("Testo o nome del file"));
    file_ = new QPushButton(QStringLiteral("Scegli file…"), form);
    file_->setAccessibleName(QStringLiteral("Scegli file"));
    colour_ = new QComboBox(form);
    colour_->setAccessibleName(QStringLiteral("Colore"));
    for (int n = 0; n <= 15; ++n) {
        colour_->addItem(swatch(*colourNumber(n)), QString::fromStdString(colourLabel(n)), n);
    }
    colour_->addItem(QString::fromStdString(colourLabel(99)), 99);
    seconds_ = new QSpinBox(form);
    seconds_->setAccessibleName(QStringLiteral("Secondi di pausa"));
    seconds_->setRange(0, 99);
    seconds_->setSuffix(QStringLiteral(" s"));
    auto* bodyRow = new QHBoxLayout;
    bodyRow->addWidget(body_, 1);
    bodyRow->addWidget(file_);
    auto* numberRow = new QHBoxLayout;
    colourLabel_ = new QLabel(QStringLiteral("Colore"), form);
    secondsLabel_ = new QLabel(QStringLiteral("Pausa"), form);
    numberRow->addWidget(colourLabel_);
    numberRow->addWidget(colour_, 1);
    numberRow->addWidget(secondsLabel_);
    numberRow->addWidget(seconds_, 1);
    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(time_);
    timeRow->addWidget(new QLabel(QStringLiteral("Lettera"), form));
    timeRow->addWidget(letter_, 1);
    layout->addRow(QStringLiteral("Riga"), whole_);
    layout->addRow(QStringLiteral("Tempo"), timeRow);
    layout->addRow(QStringLiteral("Testo o file"), bodyRow);
    layout->addRow(numberRow);

    connect(whole_, &QLineEdit::editingFinished, this, [this] { commitForm(); });
    connect(time_, &QLineEdit::editingFinished, this, [this] { commitForm(); });
    connect(body_, &QLineEdit::editingFinished, this, [this] { commitForm(); });
    connect(seconds_, &QSpinBox::editingFinished, this, [this] { commitForm(); });
    connect(letter_, &QComboBox::activated, this,
            [this] { fieldChanged(LineField::Letter, letter_->currentData().toString()); });
    connect(colour_, &QComboBox::activated, this, [this] {
        fieldChanged(LineField::Number, QString::number(colour_->currentData().toInt()));
    });
    connect(file_, &QPushButton::clicked, this, [this] {
        if (actions.chooseFile) actions.chooseFile();
    });
    return form;
}

// Each field hands on its own change alone, for the line the form shows.
void StudioWindow::fieldChanged(LineField field, const QString& value) {
    if (filling_ || !actions.fieldEdited || formRow_ < 0) return;
    actions.fieldEdited(formRow_, field, value);
}

void StudioWindow::commitForm() {
    if (filling_ || formRow_ < 0) return;
    const bool committing = committing_;
    committing_ = true;
    if (whole_->isModified()) {
        whole_->setModified(false);
        if (actions.lineEdited) actions.lineEdited(formRow_, whole_->text());
    }
    if (time_->isModified()) {
        time_->setModified(false);
        fieldChanged(LineField::Time, time_->text());
    }
    if (body_->isModified()) {
        body_->setModified(false);
        fieldChanged(LineField::Body, body_->text());
    }
    if (seconds_->isVisibleTo(this) && seconds_->value() != secondsShown_) {
        secondsShown_ = seconds_->value();
        fieldChanged(LineField::Number, QString::number(seconds_->value()));
    }
    committing_ = committing;
}

void StudioWindow::showForm(const FormLine& line) {
    filling_ = true;
    formRow_ = line.row;
    whole_->setText(line.whole);
    whole_->setModified(false);
    for (QWidget* w : {static_cast<QWidget*>(time_), static_cast<QWidget*>(letter_),
                       static_cast<QWidget*>(body_), static_cast<QWidget*>(file_)})
        w->setEnabled(line.cue);
    time_->setText(line.time);
    time_->setModified(false);
    letter_->setCurrentIndex(std::max(0, letter_->findData(line.letter)));
    body_->setText(line.body);
    body_->setModified(false);
    // Only the fields the letter takes are shown, each with its own range.
    const bool colour = line.numberKind == NumberKind::Colour;
    const bool seconds = line.numberKind == NumberKind::Seconds;
    colourLabel_->setVisible(colour);
    colour_->setVisible(colour);
    secondsLabel_->setVisible(seconds);
    seconds_->setVisible(seconds);
    // A number the list lacks shows as no choice, and stays until one is made.
    colour_->setCurrentIndex(colour && line.number ? colour_->findData(*line.number) : -1);
    secondsShown_ = seconds && line.number ? std::clamp(*line.number, 0, 99) : 0;
    seconds_->setValue(secondsShown_);
    filling_ = false;
}

void StudioWindow::selectRow(int row) {
    // A field committed as another line is chosen leaves that choice alone.
    if (committing_) return;
    if (row < 0 || row >= model_.rowCount()) return;
    if (selectedRow() == row) return;
    list_->setCurrentIndex(model_.index(row, 0));
    list_->scrollTo(model_.index(row, 0));
}

void StudioWindow::selectRows(const std::vector<int>& rows) {
    if (rows.size() < 2 || committing_) return;
    QItemSelection selection;
    for (int row : rows)
        if (row >= 0 && row < model_.rowCount())
            selection.select(model_.index(row, 0), model_.index(row, LineListModel::Columns - 1));
    list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

std::vector<int> StudioWindow::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.empty() && selectedRow() >= 0) rows.push_back(selectedRow());
    return rows;
}

int StudioWindow::selectedRow() const {
    const QModelIndex current = list_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void StudioWindow::setBanner(const QString& text) {
    banner_->setText(text);
    banner_->setVisible(!text.isEmpty());
}

void StudioWindow::setStatus(const QString& text) {
    statusBar()->showMessage(text);
}

void StudioWindow::addActions() {
    struct Key {
        const char* menu;
        const char* name;
        QList<QKeySequence> keys;
        std::function<void()> Actions::*action;
        bool whileTyping;  // also while a field of the form has the focus
    };
    const Key keys[] = {
        {"File", "Nuovo copione", {QKeySequence::New}, &Actions::newScript, true},
        {"File", "Apri…", {QKeySequence::Open}, &Actions::open, true},
        {"File", "Salva", {QKeySequence::Save}, &Actions::save, true},
        {"File",
         "Salva con nome…",
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
         &Actions::saveAs,
         true},
        {"File", "Esporta spettacolo…", {}, &Actions::exportShow, true},
        {"File", "Esci", {QKeySequence(Qt::CTRL | Qt::Key_Q)}, &Actions::quit, true},
        {"Modifica", "Annulla", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &Actions::undo, false},
        {"Modifica",
         "Ripeti",
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
         &Actions::redo,
         false},
        {"Modifica", "Nuova riga", {QKeySequence(Qt::Key_Insert)}, &Actions::insert, false},
        {"Modifica", "Trova…", {QKeySequence(Qt::CTRL | Qt::Key_F)}, &Actions::find, true},
        {"Modifica", "Trova il seguente", {QKeySequence(Qt::Key_F3)}, &Actions::findNext, true},
        {"Modifica", "Sostituisci…", {QKeySequence(Qt::CTRL | Qt::Key_H)}, &Actions::replace, true},
        {"Modifica", "Elimina riga", {QKeySequence(Qt::Key_Delete)}, &Actions::remove, false},
        {"Tempo",
         "Dai il secondo che si sente",
         {QKeySequence(Qt::Key_T), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)},
         &Actions::tap,
         false},
        {"Tempo", "Suona o pausa", {QKeySequence(Qt::Key_Space)}, &Actions::playPause, false},
        {"Tempo", "Inizio", {QKeySequence(Qt::Key_Home)}, &Actions::home, false},
        {"Tempo", "Vai a…", {QKeySequence(Qt::CTRL | Qt::Key_G)}, &Actions::gotoTime, true},
        {"Tempo",
         "Riascolta la riga (da 2 s prima)",
         {QKeySequence(Qt::Key_R)},
         &Actions::replay,
         false},
        {"Tempo",
         "Ripeti in ciclo le righe scelte",
         {QKeySequence(Qt::Key_L)},
         &Actions::loop,
         false},
        {"Tempo",
         "Sposta da qui in poi…",
         {QKeySequence(Qt::CTRL | Qt::Key_J)},
         &Actions::shiftLater,
         true},
        {"Tempo", "Ritardo dei tocchi…", {}, &Actions::tapOffset, true},
        {"Tempo",
         "Cue precedente",
         {QKeySequence(Qt::CTRL | Qt::Key_Left)},
         &Actions::previousCue,
         false},
        {"Tempo",
         "Cue seguente",
         {QKeySequence(Qt::CTRL | Qt::Key_Right)},
         &Actions::nextCue,
         false},
        {"Vista",
         "Ingrandisci",
         {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)},
         &Actions::zoomIn,
         false},
        {"Vista", "Rimpicciolisci", {QKeySequence(Qt::Key_Minus)}, &Actions::zoomOut, false},
        {"Vista",
         "Finestra dello spettacolo",
         {QKeySequence(Qt::Key_F5)},
         &Actions::showDisplay,
         true},
    };
    for (const Key& key : keys) {
        QMenu* menu = nullptr;
        for (QAction* existing : menuBar()->actions())
            if (existing->text() == QString::fromUtf8(key.menu)) menu = existing->menu();
        if (!menu) menu = menuBar()->addMenu(QString::fromUtf8(key.menu));
        QAction* action = menu->addAction(QString::fromUtf8(key.name));
        action->setShortcuts(key.keys);
        // The window's keys work from any widget; a text field keeps the
        // keys it types with (Qt gives it first say on them), and the others
        // do nothing there but Enter, which confirms the field.
        const auto member = key.action;
        const bool whileTyping = key.whileTyping;
        connect(action, &QAction::triggered, this, [this, member, whileTyping] {
            if (!whileTyping && typing()) {
                commitForm();
                return;
            }
            if (actions.*member) (actions.*member)();
        });
    }
    for (int delta : {-1, 1}) {
        QAction* action = new QAction(
            delta < 0 ? QStringLiteral("Un secondo prima") : QStringLiteral("Un secondo dopo"),
            this);
        action->setShortcut(QKeySequence(Qt::ALT | (delta < 0 ? Qt::Key_Left : Qt::Key_Right)));
        for (QAction* menu : menuBar()->actions())
            if (menu->text() == QStringLiteral("Tempo")) menu->menu()->addAction(action);
        connect(action, &QAction::triggered, this, [this, delta] {
            if (!typing() && actions.nudge) actions.nudge(delta);
        });
    }
}

void StudioWindow::closeEvent(QCloseEvent* event) {
    if (actions.mayClose && !actions.mayClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace quilo
