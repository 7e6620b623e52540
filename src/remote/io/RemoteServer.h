#pragma once
// The remote's server: its pages, its calls and a WebSocket of the show's
// state, on a port of the local network, in a thread of its own so that no
// request ever waits on the show. Every request is hostile until it carries
// a key, and does only what its key's role may; requests are bounded (8 KiB of headers sent within
// 3 s, 4 KiB of body, 10 s in all), connections too (a WebSocket silent for 60 s is closed), and
// only the remote's own pages and calls exist.
//
// Nobody without the key can keep the operator out: connections whose
// headers have not arrived yet are few per address and few in all, and when
// there is no room the oldest of the address holding the most is dropped for
// the newcomer; a request that has shown the key has room of its own.
//
// Qt's HTTP server of Debian 12 (6.4) has no hold on header sizes,
// connections, idle clients or WebSocket upgrades, so requests are read here
// on plain sockets and upgrades handed to Qt's WebSocket server once checked.

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>
#include <QWebSocketServer>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "remote/RemoteCalls.h"

namespace quilo {

struct RemoteServerOptions {
    quint16 port = 8390;
    QHostAddress bind = QHostAddress::Any;
    std::string token;        // the operator's: 32 hex digits
    std::string viewerToken;  // the viewers': watches, never commands
};

class RemoteServer : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxHeaderBytes = 8 * 1024;
    static constexpr int kMaxBodyBytes = 4 * 1024;
    static constexpr int kMaxConnections = 32;  // requests with the key, being answered
    static constexpr int kMaxUnverified = 64;   // connections whose headers are not in yet
    static constexpr int kMaxUnverifiedPerAddress = 8;
    static constexpr int kHeadersMs = 3'000;
    static constexpr int kListenBacklog = 1024;
    static constexpr int kRequestMs = 10'000;
    static constexpr int kIdleMs = 60'000;

    explicit RemoteServer(RemoteServerOptions options);
    ~RemoteServer() override;

    // Starts the server's thread and listens; the reason (Italian) when the
    // port cannot be had.
    std::optional<std::string> start();
    quint16 port() const { return port_; }

    // What /api/state gives and the WebSocket pushes, and the cue list: set
    // from any thread, pushed from the server's.
    void publish(const std::string& stateJson);
    void setCues(const std::string& cuesJson);

    // Paints the thumbnail of the cue on a line and hands its JPEG (empty
    // when there is none) to the callback, from any thread; set before start.
    using Thumbnails = std::function<void(int line, std::function<void(QByteArray)> done)>;
    void setThumbnails(Thumbnails thumbnails) { thumbnails_ = std::move(thumbnails); }

    // The tracks' lengths in sectors, for a "goto" past the disc's end to be
    // refused with its reason; from the server's thread; set before start.
    void setDiscTracks(std::function<std::vector<std::int32_t>()> tracks) {
        discTracks_ = std::move(tracks);
    }

    // A live frame (JPEG) for the live pages, from any thread. A page that
    // has not taken the frames before skips this one: a slow phone never
    // piles frames up in memory.
    void pushFrame(const QByteArray& jpeg);
    // How many live pages are open: no frame need be painted for none.
    int liveViewers() const { return liveViewers_.load(); }
    static constexpr qint64 kFrameBacklogBytes = 512 * 1024;

  signals:
    // A command a client sent; connect it queued to the show's thread.
    void commanded(quilo::RemoteCommand command);
    // A live page opened: it needs the display as it is now.
    void liveJoined();

  private:
    void listenHere(std::optional<std::string>& failure);
    void accept();
    void readRequest(QTcpSocket* socket);
    void answer(QTcpSocket* socket, int status, const QByteArray& type, const QByteArray& body,
                const QByteArray& cookie = {});
    void upgrade(QTcpSocket* socket);
    void push();
    void pushFrameHere();
    void welcome(QWebSocket* ws);
    void answerThumbnail(QTcpSocket* socket, int line, const QByteArray& cookie);
    int connections() const;
    void makeRoomFor(const QHostAddress& peer);
    void verified(QTcpSocket* socket);

    RemoteServerOptions options_;
    quint16 port_ = 0;
    QThread* thread_ = nullptr;
    QObject* home_ = nullptr;  // lives in the server's thread; owns its sockets
    int open_ = 0;             // requests being read or answered; WebSockets apart
    int verified_ = 0;         // of those, the ones that showed the key
    struct Unverified {
        QPointer<QTcpSocket> socket;
        QHostAddress peer;
    };
    std::vector<Unverified> unverified_;  // oldest first
    QTcpServer* tcp_ = nullptr;
    QWebSocketServer* sockets_ = nullptr;
    std::vector<QPointer<QWebSocket>> clients_;
    std::vector<QPointer<QWebSocket>> liveClients_;
    std::atomic<int> liveViewers_{0};
    Thumbnails thumbnails_;
    std::function<std::vector<std::int32_t>()> discTracks_;
    std::vector<std::string> hostNames_;  // what a Host header may name
    std::mutex mutex_;                    // guards the two below
    std::string state_ = "{}";
    std::string cues_ = "[]";
    QByteArray frame_;  // the last live frame
    quint64 frameNumber_ = 0;
    quint64 frameSent_ = 0;  // the server thread's own
};

}  // namespace quilo
