#include "studio/view/StudioWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "display/Colours.h"
#include "script/ScriptCommand.h"
#include "studio/ScriptEdits.h"

namespace quilo {
namespace {

const char* const kKeys =
    "Spazio suona/pausa · Home inizio · Ctrl+\u2190/\u2192 cue · Invio o T dà alla riga il "
    "secondo che si sente · Alt+\u2190/\u2192 un secondo prima/dopo · Ins nuova riga · Canc "
    "elimina · Ctrl+Z/Ctrl+Maiusc+Z annulla/ripeti · Ctrl+S salva · +/\u2212 zoom · F5 "
    "finestra dello spettacolo";

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
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
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

    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && actions.selected) actions.selected(current.row());
            });
    addActions();
    // No larger than the screen leaves room for: small laptops, kiosks.
    const QRect room = screen()->availableGeometry();
    resize(std::min(1280, room.width()), std::min(800, room.height()));
    move(room.topLeft());
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
    letter_->addItem(QStringLiteral("testo semplice"), QString());
    for (const CommandTraits& traits : kCommandTraits) {
        const QString letter = QString::fromUtf8(traits.letter.data(), int(traits.letter.size()));
        letter_->addItem(letter, letter);
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
    auto* bodyRow = new QHBoxLayout;
    bodyRow->addWidget(body_, 1);
    bodyRow->addWidget(file_);
    layout->addRow(QStringLiteral("Riga"), whole_);
    layout->addRow(QStringLiteral("Tempo"), time_);
    layout->addRow(QStringLiteral("Lettera"), letter_);
    layout->addRow(QStringLiteral("Testo o file"), bodyRow);
    layout->addRow(QStringLiteral("Colore"), colour_);

    connect(whole_, &QLineEdit::editingFinished, this, [this] {
        if (!filling_ && whole_->isModified() && actions.lineEdited) {
            whole_->setModified(false);
            actions.lineEdited(whole_->text());
        }
    });
    connect(time_, &QLineEdit::editingFinished, this, [this] {
        if (time_->isModified()) formChanged();
    });
    connect(body_, &QLineEdit::editingFinished, this, [this] {
        if (body_->isModified()) formChanged();
    });
    connect(letter_, &QComboBox::activated, this, [this] { formChanged(); });
    connect(colour_, &QComboBox::activated, this, [this] { formChanged(); });
    connect(file_, &QPushButton::clicked, this, [this] {
        if (actions.chooseFile) actions.chooseFile();
    });
    return form;
}

void StudioWindow::formChanged() {
    if (filling_ || !actions.formEdited) return;
    time_->setModified(false);
    body_->setModified(false);
    const QVariant colour = colour_->currentData();
    actions.formEdited(time_->text(), letter_->currentData().toString(), body_->text(),
                       colour_->isEnabled() ? std::optional<int>(colour.toInt()) : std::nullopt);
}

void StudioWindow::showForm(const FormLine& line) {
    filling_ = true;
    whole_->setText(line.whole);
    whole_->setModified(false);
    for (QWidget* w : {static_cast<QWidget*>(time_), static_cast<QWidget*>(letter_),
                       static_cast<QWidget*>(body_), static_cast<QWidget*>(file_)})
        w->setEnabled(line.cue);
    time_->setText(line.time);
    letter_->setCurrentIndex(std::max(0, letter_->findData(line.letter)));
    body_->setText(line.body);
    colour_->setEnabled(line.cue && line.colour.has_value());
    if (line.colour) {
        const int index = colour_->findData(*line.colour);
        colour_->setCurrentIndex(std::max(0, index));
    }
    filling_ = false;
}

void StudioWindow::selectRow(int row) {
    if (row < 0 || row >= model_.rowCount()) return;
    if (selectedRow() == row) return;
    list_->setCurrentIndex(model_.index(row, 0));
    list_->scrollTo(model_.index(row, 0));
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
        {"File", "Esci", {QKeySequence(Qt::CTRL | Qt::Key_Q)}, &Actions::quit, true},
        {"Modifica", "Annulla", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &Actions::undo, false},
        {"Modifica",
         "Ripeti",
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
         &Actions::redo,
         false},
        {"Modifica", "Nuova riga", {QKeySequence(Qt::Key_Insert)}, &Actions::insert, false},
        {"Modifica", "Elimina riga", {QKeySequence(Qt::Key_Delete)}, &Actions::remove, false},
        {"Tempo",
         "Dai il secondo che si sente",
         {QKeySequence(Qt::Key_T), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)},
         &Actions::tap,
         false},
        {"Tempo", "Suona o pausa", {QKeySequence(Qt::Key_Space)}, &Actions::playPause, false},
        {"Tempo", "Inizio", {QKeySequence(Qt::Key_Home)}, &Actions::home, false},
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
        // Keys a text field needs are the list's and the timeline's only.
        if (!key.whileTyping) {
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            list_->addAction(action);
            timeline_->addAction(action);
            preview_->addAction(action);
        }
        const auto member = key.action;
        connect(action, &QAction::triggered, this, [this, member] {
            if (actions.*member) (actions.*member)();
        });
    }
    for (int delta : {-1, 1}) {
        QAction* action = new QAction(
            delta < 0 ? QStringLiteral("Un secondo prima") : QStringLiteral("Un secondo dopo"),
            this);
        action->setShortcut(QKeySequence(Qt::ALT | (delta < 0 ? Qt::Key_Left : Qt::Key_Right)));
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        list_->addAction(action);
        timeline_->addAction(action);
        for (QAction* menu : menuBar()->actions())
            if (menu->text() == QStringLiteral("Tempo")) menu->menu()->addAction(action);
        connect(action, &QAction::triggered, this, [this, delta] {
            if (actions.nudge) actions.nudge(delta);
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
