#pragma once
// The script chooser window: drive list, folder list, file list, "Lettore"
// and "Quit". It mirrors the chooser model and forwards what the user does.

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <optional>

#include "chooser/Chooser.h"

namespace quilo {

class ChooserView : public QWidget {
    Q_OBJECT
  public:
    explicit ChooserView(QWidget* parent = nullptr);

    // `subfolders` are the current folder's own folders, `root` the drive's root.
    // The current folder's own folders are asked for only when the folder was read again.
    void sync(const ChooserModel& model,
              const std::function<std::vector<std::string>()>& subfolders,
              const std::filesystem::path& root);

    std::function<void(const std::string&)> onDrive;
    std::function<void(const std::filesystem::path&)> onFolder;
    std::function<void(int)> onFile;
    std::function<void()> onLettore;
    std::function<void()> onQuit;
    std::function<void()> onClose;

    QComboBox* driveList() const { return drives_; }
    QListWidget* folderList() const { return folders_; }
    QListWidget* fileList() const { return files_; }
    QPushButton* lettoreButton() const { return lettore_; }
    QPushButton* quitButton() const { return quit_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QPushButton* quit_;
    QPushButton* lettore_;
    QListWidget* files_;
    QListWidget* folders_;
    QComboBox* drives_;
    bool syncing_ = false;
    int shownRevision_ = -1;
    std::optional<ChooserModel> shown_;
    std::vector<std::string> shownFiles_;
};

}  // namespace quilo
