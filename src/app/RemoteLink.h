#pragma once
// Joins the remote's server to the running show: the show's state published
// after every handler, the script's cues when the script changes, and each
// command a phone or pedal sends run on the show's thread as the display's
// keys and the panel's buttons run it. Off unless --remote asks for it.

#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "app/Options.h"
#include "app/RemotePictures.h"
#include "app/ShowOperator.h"
#include "cd/CdControl.h"
#include "presentation/Presentation.h"
#include "remote/io/RemoteServer.h"
#include "remote/view/JoinWindow.h"
#include "shared/Warnings.h"

namespace quilo {

class RemoteLink : public QObject {
    Q_OBJECT
  public:
    RemoteLink(const AppOptions& options, Presentation& core, CdControl& cd, ShowOperator& show,
               Warnings& warnings, std::function<void()> sync);
    ~RemoteLink() override;

    // Starts the server when asked, or when it was left on; says where to
    // join, or why it cannot run.
    void start();
    // Ctrl+R on the panel: the remote on (remembered for the next runs), and
    // the window to join it.
    void join();
    // The remote off, now and at the next runs, until Ctrl+R again.
    void turnOff();
    // "Nuova chiave": the old key is worth nothing from now on, every phone
    // must join again.
    void newKey();
    // Where to join, with the key; empty while the remote is off.
    const QString& address() const { return address_; }
    // The stage page's address, with the viewers' key.
    QString viewerAddress(const QString& page) const;
    // After every handler.
    void publish();
    // After every handler, repaint and transition frame: the live pages get
    // the display when it changed (or always, for a page that just opened).
    void mirror(bool always = false);

  private:
    void startOn(int port);
    std::string keyFile() const;
    void run(const RemoteCommand& command);
    void heartbeat();
    QList<JoinWindow::Link> links() const;

    const AppOptions& options_;
    Presentation& core_;
    CdControl& cd_;
    ShowOperator& show_;
    Warnings& warnings_;
    std::function<void()> sync_;
    std::unique_ptr<RemoteServer> server_;
    std::unique_ptr<RemotePictures> pictures_;  // after the server: ends first
    std::optional<DisplayForm> mirrored_;
    std::unique_ptr<JoinWindow> joinWindow_;
    QString address_;  // with the key
    std::string viewerToken_;
    std::string cuesVersion_;  // the version of the cues given last
    std::string message_;      // for the stage, until cleared
    // While a message box waits for OK the show's handlers wait too: the
    // state is published from here, and commands wait their turn.
    QTimer heartbeat_;
    std::deque<RemoteCommand> waitingCommands_;
};

// A key the operator keeps in a file (for a pedal or a kiosk): a regular
// file, read no further than a key needs; the key, and whether users other
// than its owner may read it; or why it is refused (in Italian).
struct TokenFile {
    std::string token;
    bool othersMayRead = false;
};
std::variant<TokenFile, std::string> tokenFromFile(const std::string& path);

// The key kept in `file` (made, readable by its owner only, when there is
// none, or anew when `renew`).
std::string keptRemoteKey(const std::string& file, bool renew);

// A new token: 128 random bits as 32 hex digits.
std::string newRemoteToken();

// The viewers' key of an operator's key: the same for the same key (the
// stage's link survives a restart), replaced with it, and no way back to it.
std::string viewerTokenFor(const std::string& operatorToken);

}  // namespace quilo
