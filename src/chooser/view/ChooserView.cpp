#include "chooser/view/ChooserView.h"

#include <QCloseEvent>
#include <QStyle>

#include "shared/view/Twips.h"

namespace quilo {

ChooserView::ChooserView(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Marvane - Allegato"));
    setFixedSize(px(6276), px(6132));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(palette);
    setAutoFillBackground(true);

    quit_ = new QPushButton(QStringLiteral("Quit"), this);
    quit_->setGeometry(twipRect(5400, 5640, 615, 375));
    lettore_ = new QPushButton(QStringLiteral("Lettore"), this);
    lettore_->setGeometry(twipRect(240, 5640, 5055, 375));
    files_ = new QListWidget(this);
    files_->setGeometry(twipRect(3360, 120, 2655, 5256));
    QFont bold(QStringLiteral("MS Sans Serif"));
    bold.setBold(true);
    bold.setPointSizeF(7.8);
    files_->setFont(bold);
    folders_ = new QListWidget(this);
    folders_->setGeometry(twipRect(240, 480, 3015, 4980));
    drives_ = new QComboBox(this);
    drives_->setGeometry(twipRect(240, 120, 3015, 315));
    drives_->addItem(QStringLiteral("C:  (Quilo)"), QString::fromLatin1(kDataDrive));
    drives_->addItem(QStringLiteral("/  (tutto il sistema)"), QString::fromLatin1(kSystemDrive));
    setTabOrder(drives_, folders_);
    setTabOrder(folders_, files_);
    setTabOrder(files_, lettore_);
    setTabOrder(lettore_, quit_);

    connect(quit_, &QPushButton::clicked, this, [this] {
        if (onQuit) onQuit();
    });
    connect(lettore_, &QPushButton::clicked, this, [this] {
        if (onLettore) onLettore();
    });
    connect(drives_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!syncing_ && onDrive) onDrive(drives_->itemData(index).toString().toStdString());
    });
    connect(folders_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (!syncing_ && onFolder) onFolder(item->data(Qt::UserRole).toString().toStdString());
    });
    // Moving the highlight (arrow keys too) chooses a file; so does a click on
    // the file already highlighted, after another path was typed into the panel.
    connect(files_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_ && row >= 0 && onFile) onFile(row);
    });
    connect(files_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (!syncing_ && onFile) onFile(files_->row(item));
    });
}

void ChooserView::sync(const ChooserModel& model,
                       const std::function<std::vector<std::string>()>& subfolders,
                       const std::filesystem::path& root) {
    if (shown_ && *shown_ == model && isVisible() == model.visible) return;
    shown_ = model;
    syncing_ = true;
    const int drive = drives_->findData(QString::fromStdString(model.drive));
    if (drive >= 0 && drives_->currentIndex() != drive) drives_->setCurrentIndex(drive);

    if (shownRevision_ != model.revision) {
        shownRevision_ = model.revision;
        folders_->clear();
        const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
        const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
        std::filesystem::path at = root;
        auto add = [&](const QString& text, const std::filesystem::path& path, int depth,
                       const QIcon& icon) {
            auto* item =
                new QListWidgetItem(icon, QString(depth * 2, QLatin1Char(' ')) + text, folders_);
            item->setData(Qt::UserRole, QString::fromStdString(path.string()));
            return item;
        };
        int depth = 0;
        QListWidgetItem* current = add(
            QString::fromStdString(model.drive == kDataDrive ? "C:\\" : "/"), root, depth++, open);
        const auto rest = model.folder.lexically_relative(root);
        if (!rest.empty() && *rest.begin() != "..") {
            for (const auto& part : rest) {
                if (part.empty() || part == ".") continue;
                at /= part;
                current = add(QString::fromStdString(part.string()), at, depth++, open);
            }
        }
        folders_->setCurrentItem(current);
        for (const auto& name : subfolders())
            add(QString::fromStdString(name), model.folder / name, depth, closed);
    }
    if (shownFiles_ != model.files) {
        shownFiles_ = model.files;
        files_->clear();
        for (const auto& name : model.files) files_->addItem(QString::fromStdString(name));
    }
    if (files_->currentRow() != model.selected) files_->setCurrentRow(model.selected);
    if (lettore_->isEnabled() != model.lettoreEnabled) lettore_->setEnabled(model.lettoreEnabled);
    if (isVisible() != model.visible) setVisible(model.visible);
    syncing_ = false;
}

void ChooserView::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onClose) onClose();
}

}  // namespace quilo
