#include "remote/io/RemoteServer.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QFile>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QThread>
#include <QTimer>
#include <QWebSocket>

#include "remote/RemoteAccess.h"

// The pages live in this static library's resources, which a program
// linking it must ask for by name.
static void initRemotePages() {
    Q_INIT_RESOURCE(remote);
}

namespace quilo {
namespace {

constexpr int kPingMs = 20'000;

const QByteArray kNoKeyPage =
    "<!doctype html><html lang=\"it\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
    "content=\"width=device-width, initial-scale=1\"><title>Quilo \xC2\xB7 telecomando</title>"
    "</head><body style=\"font-family:sans-serif;background:#111;color:#eee;padding:24px;"
    "font-size:1.3em\"><h1>Chiave non valida</h1><p>Questa pagina non ha la chiave del "
    "telecomando di Quilo, o ne ha una vecchia. Inquadrare di nuovo il codice QR nella finestra "
    "del telecomando (Ctrl+R sul computer dello spettacolo).</p></body></html>";
const QByteArray kViewOnlyPage =
    "<!doctype html><html lang=\"it\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
    "content=\"width=device-width, initial-scale=1\"><title>Quilo \xC2\xB7 telecomando</title>"
    "</head><body style=\"font-family:sans-serif;background:#111;color:#eee;padding:24px;"
    "font-size:1.3em\"><h1>Solo per guardare</h1><p>Questo collegamento apre le pagine del "
    "palco, della diretta e dei sottotitoli, non il telecomando. Il telecomando si apre con il "
    "primo codice QR della finestra del telecomando (Ctrl+R sul computer dello spettacolo)."
    "</p></body></html>";
constexpr int kNiceness = 10;

struct Request {
    QByteArray method;
    QByteArray path;
    QByteArray query;
    QList<QPair<QByteArray, QByteArray>> headers;  // names lower-cased
    QByteArray header(const QByteArray& name) const {
        for (const auto& [key, value] : headers)
            if (key == name) return value;
        return {};
    }
};

// The request line and headers, or none when they are malformed.
std::optional<Request> parseHead(const QByteArray& head) {
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    if (first.size() != 3 || !first[2].startsWith("HTTP/1.")) return std::nullopt;
    Request request{first[0], first[1], {}, {}};
    const int mark = request.path.indexOf('?');
    if (mark >= 0) {
        request.query = request.path.mid(mark + 1);
        request.path = request.path.left(mark);
    }
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty()) continue;
        const int colon = line.indexOf(':');
        if (colon <= 0) return std::nullopt;
        request.headers.append(
            {line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed()});
    }
    return request;
}

QByteArray reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 400:
            return "Bad Request";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 408:
            return "Request Timeout";
        case 411:
            return "Length Required";
        case 413:
            return "Payload Too Large";
        case 431:
            return "Request Header Fields Too Large";
        default:
            return "Service Unavailable";
    }
}

QByteArray page(const QString& name) {
    QFile file(QStringLiteral(":/remote/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

RemoteServer::RemoteServer(RemoteServerOptions options) : options_(std::move(options)) {
    initRemotePages();
    qRegisterMetaType<quilo::RemoteCommand>("quilo::RemoteCommand");
}

RemoteServer::~RemoteServer() {
    if (!thread_) return;
    QMetaObject::invokeMethod(
        home_,
        [this] {
            for (auto& client : clients_)
                if (client) client->abort();
            for (auto& client : liveClients_)
                if (client) client->abort();
            delete home_;  // its sockets and servers with it
            home_ = nullptr;
        },
        Qt::BlockingQueuedConnection);
    thread_->quit();
    thread_->wait();
    delete thread_;
}

std::optional<std::string> RemoteServer::start() {
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("telecomando"));
    home_ = new QObject;
    home_->moveToThread(thread_);
    thread_->start();
    std::optional<std::string> failure;
    QMetaObject::invokeMethod(
        home_, [&] { listenHere(failure); }, Qt::BlockingQueuedConnection);
    return failure;
}

void RemoteServer::listenHere(std::optional<std::string>& failure) {
    // Below the show's threads: a flood of requests waits, a cue does not.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kNiceness);
    tcp_ = new QTcpServer(home_);
    tcp_->setMaxPendingConnections(kMaxUnverified + kMaxConnections);
    // A burst of strangers connecting fills the kernel's queue of connections
    // not yet accepted (50 by default) before this thread drains it; a keyed
    // client's connection must still find room there.
    tcp_->setListenBacklogSize(kListenBacklog);
    sockets_ =
        new QWebSocketServer(QStringLiteral("Quilo"), QWebSocketServer::NonSecureMode, home_);
    if (!tcp_->listen(options_.bind, options_.port)) {
        failure = "il telecomando non può usare la porta " + std::to_string(options_.port) + " (" +
                  (tcp_->serverError() == QAbstractSocket::AddressInUseError
                       ? std::string("è già in uso")
                       : tcp_->errorString().toStdString()) +
                  "): lo spettacolo va avanti senza telecomando";
        return;
    }
    port_ = tcp_->serverPort();
    hostNames_ = {"localhost", QHostInfo::localHostName().toLower().toStdString(),
                  (QHostInfo::localHostName() + QStringLiteral(".local")).toLower().toStdString()};
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        QHostAddress plain = address;
        plain.setScopeId({});
        hostNames_.push_back(plain.toString().toLower().toStdString());
    }
    connect(tcp_, &QTcpServer::newConnection, home_, [this] { accept(); });
    connect(sockets_, &QWebSocketServer::newConnection, home_, [this] {
        while (QWebSocket* ws = sockets_->nextPendingConnection()) welcome(ws);
    });
}

void RemoteServer::welcome(QWebSocket* ws) {
    std::erase_if(clients_, [](const QPointer<QWebSocket>& c) { return c.isNull(); });
    std::erase_if(liveClients_, [](const QPointer<QWebSocket>& c) { return c.isNull(); });
    if (int(clients_.size() + liveClients_.size()) >= kMaxConnections) {
        ws->abort();
        ws->deleteLater();
        return;
    }
    ws->setParent(home_);
    ws->setMaxAllowedIncomingFrameSize(kMaxBodyBytes);
    ws->setMaxAllowedIncomingMessageSize(kMaxBodyBytes);
    auto* idle = new QTimer(ws);
    idle->setSingleShot(true);
    idle->start(kIdleMs);
    auto* ping = new QTimer(ws);
    ping->start(kPingMs);
    connect(ping, &QTimer::timeout, ws, [ws] { ws->ping(); });
    connect(idle, &QTimer::timeout, ws, [ws] { ws->abort(); });
    const auto alive = [idle] { idle->start(kIdleMs); };
    connect(ws, &QWebSocket::pong, idle, alive);
    connect(ws, &QWebSocket::textMessageReceived, idle, alive);
    connect(ws, &QWebSocket::binaryMessageReceived, idle, alive);
    connect(ws, &QWebSocket::disconnected, ws, &QObject::deleteLater);
    if (ws->requestUrl().path() == QStringLiteral("/ws/live")) {
        liveClients_.push_back(ws);
        ++liveViewers_;
        connect(ws, &QObject::destroyed, home_, [this] { --liveViewers_; });
        std::lock_guard lock(mutex_);
        if (!frame_.isEmpty()) ws->sendBinaryMessage(frame_);
        emit liveJoined();
        return;
    }
    clients_.push_back(ws);
    std::lock_guard lock(mutex_);
    ws->sendTextMessage(QString::fromStdString(state_));
}

int RemoteServer::connections() const {
    return open_;
}

void RemoteServer::accept() {
    while (QTcpSocket* socket = tcp_->nextPendingConnection()) {
        const QHostAddress peer = socket->peerAddress();
        makeRoomFor(peer);
        unverified_.push_back({socket, peer});
        ++open_;
        connect(socket, &QObject::destroyed, home_, [this] { --open_; });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { readRequest(socket); });
        // A client that sends its headers too slowly is dropped.
        auto* deadline = new QTimer(socket);
        deadline->setObjectName(QStringLiteral("deadline"));
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, [socket] { socket->abort(); });
        deadline->start(kHeadersMs);
    }
}

// Room for one more connection from `peer` among those not yet verified:
// its own oldest goes when it has its share, else the oldest of whoever
// holds the most.
void RemoteServer::makeRoomFor(const QHostAddress& peer) {
    std::erase_if(unverified_, [](const Unverified& u) {
        return u.socket.isNull() || u.socket->state() != QAbstractSocket::ConnectedState;
    });
    const auto count = [this](const QHostAddress& address) {
        return std::count_if(unverified_.begin(), unverified_.end(),
                             [&](const Unverified& u) { return u.peer == address; });
    };
    QHostAddress victim;
    if (count(peer) >= kMaxUnverifiedPerAddress) {
        victim = peer;
    } else if (int(unverified_.size()) >= kMaxUnverified) {
        long most = 0;
        for (const Unverified& u : unverified_) {
            if (const long n = count(u.peer); n > most) most = n, victim = u.peer;
        }
    } else {
        return;
    }
    const auto oldest = std::find_if(unverified_.begin(), unverified_.end(),
                                     [&](const Unverified& u) { return u.peer == victim; });
    if (oldest == unverified_.end()) return;
    QPointer<QTcpSocket> dropped = oldest->socket;
    unverified_.erase(oldest);
    if (dropped) dropped->abort();
}

// The request showed the key: it leaves the crowd of the unverified, with
// the time a request may take in all.
void RemoteServer::verified(QTcpSocket* socket) {
    std::erase_if(unverified_, [socket](const Unverified& u) { return u.socket == socket; });
    socket->setProperty("verified", true);
    ++verified_;
    connect(socket, &QObject::destroyed, home_, [this] { --verified_; });
    if (auto* deadline = socket->findChild<QTimer*>(QStringLiteral("deadline")))
        deadline->start(kRequestMs);
}

void RemoteServer::readRequest(QTcpSocket* socket) {
    const QByteArray seen = socket->peek(kMaxHeaderBytes + kMaxBodyBytes + 4);
    const int end = seen.indexOf("\r\n\r\n");
    // Lines ended by LF alone never end the headers: refused at once.
    const int bare = seen.indexOf("\n\n");
    if (bare >= 0 && (end < 0 || bare < end)) return answer(socket, 400, "text/plain", "");
    if (end < 0) {
        if (seen.size() > kMaxHeaderBytes) answer(socket, 431, "text/plain", "");
        return;
    }
    if (end > kMaxHeaderBytes) return answer(socket, 431, "text/plain", "");
    const auto request = parseHead(seen.left(end));
    if (!request) return answer(socket, 400, "text/plain", "");
    // The key before anything else: without it, nothing but 403.
    const Role role =
        requestRole(request->query.toStdString(), request->header("cookie").toStdString(), port_,
                    {options_.token, options_.viewerToken});
    const Route route = routeFor(request->path.toStdString());
    const bool isPage = route == Route::Remote || route == Route::Stage || route == Route::Live ||
                        route == Route::Captions;
    if (role == Role::None) {
        // A page opened without a valid key says so in Italian, not in the
        // browser's words.
        return isPage ? answer(socket, 403, "text/html; charset=utf-8", kNoKeyPage)
                      : answer(socket, 403, "text/plain", "");
    }
    // A browser names the host it thinks it talks to: only this machine's
    // names (a request without one, from a pedal's script, is taken).
    const QByteArray host = request->header("host");
    // The address the connection came in on is this machine's too, even one
    // taken after the server started (a laptop that joined the hall's Wi-Fi).
    QHostAddress here = socket->localAddress();
    here.setScopeId({});
    if (!host.isEmpty() && !hostNamesThisMachine(host.toStdString(), hostNames_) &&
        !hostNamesThisMachine(host.toStdString(), {here.toString().toLower().toStdString()}))
        return answer(socket, 403, "text/plain", "");
    if (!socket->property("verified").toBool()) {
        if (verified_ >= kMaxConnections) return answer(socket, 503, "text/plain", "");
        verified(socket);
    }
    if (route == Route::None) return answer(socket, 404, "text/plain", "");
    if (!roleMayUse(role, route)) {
        return isPage ? answer(socket, 403, "text/html; charset=utf-8", kViewOnlyPage)
                      : answer(socket, 403, "text/plain; charset=utf-8",
                               "questa chiave serve solo a guardare lo spettacolo");
    }
    const QByteArray cookie =
        request->query.contains("t=")
            ? QByteArray::fromStdString(
                  cookieName(port_, role) + "=" +
                  (role == Role::Operator ? options_.token : options_.viewerToken))
            : QByteArray();
    if (route == Route::Socket || route == Route::LiveSocket) {
        const bool upgrade = request->header("upgrade").toLower() == "websocket";
        const bool sameOrigin = request->header("origin") == "http://" + request->header("host");
        if (request->method != "GET" || !upgrade || !sameOrigin)
            return answer(socket, 403, "text/plain", "");
        return this->upgrade(socket);
    }
    const QByteArray expected = route == Route::Command ? "POST" : "GET";
    if (request->method != expected) return answer(socket, 405, "text/plain", "");
    if (route == Route::Command) {
        // A command from a browser comes only from the remote's own pages.
        const QByteArray origin = request->header("origin");
        if (!origin.isEmpty() && origin != "http://" + host)
            return answer(socket, 403, "text/plain", "");
        // One length, said one way: anything else may be read two ways.
        int lengths = 0;
        for (const auto& [name, value] : request->headers) lengths += name == "content-length";
        if (!request->header("transfer-encoding").isEmpty())
            return answer(socket, lengths > 0 ? 400 : 411, "text/plain", "");
        if (lengths > 1) return answer(socket, 400, "text/plain", "");
        bool number = false;
        const int length = request->header("content-length").toInt(&number);
        if (!number || length < 0 || length > kMaxBodyBytes)
            return answer(socket, 413, "text/plain", "");
        if (seen.size() < end + 4 + length) return;  // the rest of the body is on its way
        const auto parsed =
            parseRemoteCommand(std::string_view(seen.constData() + end + 4, std::size_t(length)));
        if (const auto* why = std::get_if<std::string>(&parsed))
            return answer(socket, 400, "text/plain; charset=utf-8",
                          QByteArray::fromStdString(*why));
        const RemoteCommand& command = std::get<RemoteCommand>(parsed);
        if (command.kind == RemoteCommandKind::GoTo && discTracks_) {
            if (const auto why = outsideDisc(command.at, discTracks_()))
                return answer(socket, 400, "text/plain; charset=utf-8",
                              QByteArray::fromStdString(*why));
        }
        emit commanded(command);
        return answer(socket, 204, "text/plain", "", cookie);
    }
    if (route == Route::Thumbnail) {
        const auto line = thumbnailLine(request->query.toStdString());
        if (!line || !thumbnails_) return answer(socket, 404, "text/plain", "");
        return answerThumbnail(socket, *line, cookie);
    }
    std::lock_guard lock(mutex_);
    switch (route) {
        case Route::State:
            return answer(socket, 200, "application/json", QByteArray::fromStdString(state_),
                          cookie);
        case Route::Cues:
            return answer(socket, 200, "application/json", QByteArray::fromStdString(cues_),
                          cookie);
        case Route::Remote:
            return answer(socket, 200, "text/html; charset=utf-8", page("remote.html"), cookie);
        case Route::Stage:
            return answer(socket, 200, "text/html; charset=utf-8", page("stage.html"), cookie);
        case Route::Live:
            return answer(socket, 200, "text/html; charset=utf-8", page("live.html"), cookie);
        case Route::Captions:
            return answer(socket, 200, "text/html; charset=utf-8", page("captions.html"), cookie);
        case Route::Script:
            return answer(socket, 200, "text/javascript; charset=utf-8", page("remote.js"), cookie);
        case Route::Style:
            return answer(socket, 200, "text/css; charset=utf-8", page("remote.css"), cookie);
        default:
            return answer(socket, 404, "text/plain", "");
    }
}

void RemoteServer::answer(QTcpSocket* socket, int status, const QByteArray& type,
                          const QByteArray& body, const QByteArray& cookie) {
    disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    head += "Content-Type: " + type + "\r\nContent-Length: " + QByteArray::number(body.size()) +
            "\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
            "Referrer-Policy: no-referrer\r\nConnection: close\r\n";
    if (!cookie.isEmpty())
        head += "Set-Cookie: " + cookie + "; HttpOnly; SameSite=Strict; Path=/\r\n";
    socket->write(head + "\r\n" + body);
    socket->disconnectFromHost();
}

// The thumbnail is painted elsewhere; the request waits for it without
// holding the server (its deadline still runs).
void RemoteServer::answerThumbnail(QTcpSocket* socket, int line, const QByteArray& cookie) {
    disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
    QPointer<QTcpSocket> waiting(socket);
    QObject* home = home_;
    thumbnails_(line, [this, home, waiting, cookie](QByteArray jpeg) {
        QMetaObject::invokeMethod(
            home,
            [this, waiting, cookie, jpeg] {
                if (!waiting) return;
                if (jpeg.isEmpty()) return answer(waiting, 404, "text/plain", "");
                answer(waiting, 200, "image/jpeg", jpeg, cookie);
            },
            Qt::QueuedConnection);
    });
}

// From here Qt's WebSocket server owns the socket (and ends a handshake that
// does not finish); it stops counting among the requests being read.
void RemoteServer::upgrade(QTcpSocket* socket) {
    disconnect(socket, &QObject::destroyed, home_, nullptr);
    --open_;
    if (socket->property("verified").toBool()) --verified_;
    disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
    if (auto* deadline = socket->findChild<QTimer*>(QStringLiteral("deadline"))) delete deadline;
    disconnect(socket, &QTcpSocket::disconnected, nullptr, nullptr);
    sockets_->handleConnection(socket);
}

void RemoteServer::publish(const std::string& stateJson) {
    {
        std::lock_guard lock(mutex_);
        if (state_ == stateJson) return;
        state_ = stateJson;
    }
    if (home_)
        QMetaObject::invokeMethod(
            home_, [this] { push(); }, Qt::QueuedConnection);
}

void RemoteServer::setCues(const std::string& cuesJson) {
    std::lock_guard lock(mutex_);
    cues_ = cuesJson;
}

void RemoteServer::pushFrame(const QByteArray& jpeg) {
    {
        std::lock_guard lock(mutex_);
        frame_ = jpeg;
        ++frameNumber_;
    }
    if (home_)
        QMetaObject::invokeMethod(
            home_, [this] { pushFrameHere(); }, Qt::QueuedConnection);
}

void RemoteServer::pushFrameHere() {
    QByteArray frame;
    {
        std::lock_guard lock(mutex_);
        if (frameSent_ == frameNumber_) return;  // sent by an earlier call
        frameSent_ = frameNumber_;
        frame = frame_;
    }
    std::erase_if(liveClients_, [](const QPointer<QWebSocket>& c) { return c.isNull(); });
    for (auto& client : liveClients_)
        if (client->bytesToWrite() < kFrameBacklogBytes) client->sendBinaryMessage(frame);
}

void RemoteServer::push() {
    QString state;
    {
        std::lock_guard lock(mutex_);
        state = QString::fromStdString(state_);
    }
    for (auto& client : clients_)
        if (client) client->sendTextMessage(state);
    std::erase_if(clients_, [](const QPointer<QWebSocket>& c) { return c.isNull(); });
}

}  // namespace quilo
