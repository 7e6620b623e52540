#pragma once
// The operator's small window for joining the remote: each link (the
// remote's, with the operator's key; the stage's, the live page's and the
// captions', with the viewers' key) as text and as a QR code for a phone's
// camera. A window of its own, never the display: the audience must not see
// the keys.

#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;

namespace quilo {

class JoinWindow : public QWidget {
  public:
    explicit JoinWindow(QWidget* parent = nullptr);
    struct Link {
        QString title;  // what the link is for, said in the list
        QString url;
    };
    // The links, the remote's first; the one on view stays on view.
    void setLinks(const QList<Link>& links);
    // "Spegni il telecomando".
    std::function<void()> onTurnOff;
    // "Nuova chiave".
    std::function<void()> onNewKey;

  private:
    void showLink(int index);

    QList<Link> links_;
    QComboBox* which_ = nullptr;
    QLabel* code_ = nullptr;
    QLabel* address_ = nullptr;
};

}  // namespace quilo
