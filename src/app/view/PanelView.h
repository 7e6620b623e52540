#pragma once
// The player panel: the CD button bar, the boxes with the track, minutes,
// seconds and frames, the disc code, the script path, "Quit" and "Allegato",
// the clock's seconds and the progress bar. Laid out at the design's twip
// positions. It mirrors the panel model and forwards presses.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <optional>

#include "cd/view/ButtonBar.h"
#include "shared/PanelModel.h"
#include "shared/view/Twips.h"

namespace quilo {

class PanelView : public QWidget {
    Q_OBJECT
  public:
    explicit PanelView(QWidget* parent = nullptr);

    void sync(const PanelModel& model);
    ButtonBar& buttonBar() { return *bar_; }

    std::function<void()> onQuit;
    std::function<void()> onAllegato;
    std::function<void(const std::string&)> onText6Edited;
    std::function<void()> onClose;
    // Keys the panel's own boxes and buttons leave unused; true when used.
    std::function<bool(int)> onKey;
    // Ctrl+R: the remote, to join from a phone.
    std::function<void()> onJoin;

    // For tests and screenshots.
    QLineEdit* box(int number) const;
    QPushButton* quitButton() const { return quit_; }
    QPushButton* allegatoButton() const { return allegato_; }
    QProgressBar* progressBar() const { return progress_; }
    QLabel* statusLine() const { return status_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    ButtonBar* bar_;
    QGroupBox* frame_;
    QPushButton* quit_;
    QPushButton* allegato_;
    QLineEdit* text1_;
    QLineEdit* text2_;
    QLineEdit* text3_;
    QLineEdit* text4_;
    QLineEdit* text5_;
    QLineEdit* text6_;
    QLineEdit* text7_;
    QLineEdit* text8_;
    QProgressBar* progress_;
    QLabel* status_;                   // below the progress bar, shown only with something to say
    std::optional<PanelModel> shown_;  // what the widgets show now
};

}  // namespace quilo
