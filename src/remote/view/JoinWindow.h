#pragma once
// The operator's small window for joining the remote: its address, with the
// key, as text and as a QR code for a phone's camera. A window of its own,
// never the display: the audience must not see the key.

#include <QWidget>
#include <functional>

class QLabel;

namespace quilo {

class JoinWindow : public QWidget {
  public:
    explicit JoinWindow(QWidget* parent = nullptr);
    void setAddress(const QString& url);
    // "Spegni il telecomando".
    std::function<void()> onTurnOff;
    // "Nuova chiave".
    std::function<void()> onNewKey;

  private:
    QLabel* code_ = nullptr;
    QLabel* address_ = nullptr;
};

}  // namespace quilo
