// The remote's server against hostile clients on a real socket: nothing
// without the token, nothing but its own pages and calls, bounded requests
// and connections, WebSockets only from its own origin; and with the token,
// the state, the cues and the commands.
#include "remote/io/RemoteServer.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <QWebSocket>
#include <thread>
#include <vector>

namespace quilo {
namespace {

const std::string kToken = "00112233445566778899aabbccddeeff";
const std::string kViewer = "ffeeddccbbaa99887766554433221100";

class RemoteServerTest : public ::testing::Test {
  protected:
    RemoteServerTest() : server({0, QHostAddress::LocalHost, kToken, kViewer}) {
        // Thumbnails come later, from a thread of their own, as the painter's do.
        server.setThumbnails([this](int line, std::function<void(QByteArray)> done) {
            painting.emplace_back([line, done] {
                QThread::msleep(50);
                done(line == 3 ? QByteArray("JPEG3") : QByteArray());
            });
        });
        server.setDiscTracks([] { return std::vector<std::int32_t>{62 * 75, 62 * 75}; });
        EXPECT_FALSE(server.start());
        server.publish(R"({"position":"01:00:07:30"})");
        server.setCues(R"([{"line":1}])");
    }
    // The raw reply to `bytes`, up to the server closing.
    QByteArray exchange(const QByteArray& bytes) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, server.port());
        if (!socket.waitForConnected(2000)) return {};
        socket.write(bytes);
        QByteArray reply;
        while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(3000))
            reply += socket.readAll();
        return reply + socket.readAll();
    }
    static int status(const QByteArray& reply) { return reply.mid(9, 3).toInt(); }
    // The cookie a browser keeps for this port's remote and a role's key.
    QByteArray keptKey(const std::string& key = kToken) {
        return "Cookie: quilo_" + QByteArray::number(server.port()) +
               (key == kToken ? "" : "_vista") + "=" + QByteArray::fromStdString(key) + "\r\n";
    }
    QByteArray get(const QByteArray& target, const QByteArray& headers = {}) {
        return exchange("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" +
                        QByteArray::number(server.port()) + "\r\n" + headers + "\r\n");
    }
    RemoteServer server;
    std::vector<std::jthread> painting;  // joined before the server ends
};

TEST_F(RemoteServerTest, RefusesEveryRequestWithoutTheTokenAndNamesNoFile) {
    const QByteArray t = QByteArray::fromStdString(kToken);
    EXPECT_EQ(status(get("/api/state")), 403);
    EXPECT_EQ(status(get("/api/state?t=" + t.left(31))), 403);
    EXPECT_EQ(status(get("/api/state?t=" + t + "0")), 403);
    EXPECT_EQ(status(get("/api/state", "Cookie: quilo=ffffffffffffffffffffffffffffffff\r\n")), 403);
    // A page asked without the key: not the remote, but why not, in Italian.
    const QByteArray refused = get("/");
    EXPECT_EQ(status(refused), 403);
    EXPECT_EQ(refused.indexOf("data-cmd"), -1);
    EXPECT_NE(refused.indexOf("Chiave non valida"), -1);
    for (const QByteArray path : {"/../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd", "/etc/passwd",
                                  "//etc/passwd", "/remote.js/..%2f..%2fetc%2fpasswd"})
        EXPECT_EQ(status(get(path + "?t=" + t)), 404) << path.constData();
    EXPECT_EQ(status(exchange("DELETE /api/state?t=" + t + " HTTP/1.1\r\n\r\n")), 405);
    EXPECT_EQ(status(exchange("garbage\r\n\r\n")), 400);
}

TEST_F(RemoteServerTest, GivesItsPagesStateAndCuesWithTheTokenThenByItsCookie) {
    const QByteArray first = get("/?t=" + QByteArray::fromStdString(kToken));
    EXPECT_EQ(status(first), 200);
    EXPECT_NE(first.indexOf("Set-Cookie: quilo_" + QByteArray::number(server.port()) + "=" +
                            QByteArray::fromStdString(kToken) + "; HttpOnly; SameSite=Strict"),
              -1);
    EXPECT_NE(first.indexOf("<html lang=\"it\">"), -1);
    const QByteArray cookie = keptKey();
    EXPECT_TRUE(get("/api/state", cookie).endsWith(R"({"position":"01:00:07:30"})"));
    EXPECT_TRUE(get("/api/cues", cookie).endsWith(R"([{"line":1}])"));
    EXPECT_EQ(status(get("/stage", cookie)), 200);
    EXPECT_TRUE(get("/api/thumb?line=3", cookie).endsWith("\r\n\r\nJPEG3"));
    for (const QByteArray line : {"4", "0", "x", "../3"})
        EXPECT_EQ(status(get("/api/thumb?line=" + line, cookie)), 404) << line.constData();

    QSignalSpy commanded(&server, &RemoteServer::commanded);
    const QByteArray body = R"({"cmd":"goto","at":"01:00:30"})";
    EXPECT_EQ(status(exchange("POST /api/command HTTP/1.1\r\n" + cookie + "Content-Length: " +
                              QByteArray::number(body.size()) + "\r\n\r\n" + body)),
              204);
    if (commanded.count() == 0) commanded.wait(2000);
    ASSERT_EQ(commanded.count(), 1);
    EXPECT_EQ(commanded.at(0).at(0).value<RemoteCommand>().at, (CdPosition{1, 0, 30, 0}));
    // A place the disc does not have is refused with the reason.
    for (const auto& [at, why] : {std::pair{"01:01:05", "il brano 1 dura 1:02"},
                                  std::pair{"04:00:00", "il disco ha 2 brani"}}) {
        const QByteArray past = R"({"cmd":"goto","at":")" + QByteArray(at) + R"("})";
        const QByteArray reply =
            exchange("POST /api/command HTTP/1.1\r\n" + cookie +
                     "Content-Length: " + QByteArray::number(past.size()) + "\r\n\r\n" + past);
        EXPECT_EQ(status(reply), 400) << at;
        EXPECT_TRUE(reply.endsWith(why)) << reply.constData();
    }
    EXPECT_EQ(commanded.count(), 1);
    const QByteArray unknown = R"({"cmd":"format-disk"})";
    EXPECT_EQ(status(exchange("POST /api/command HTTP/1.1\r\n" + cookie + "Content-Length: " +
                              QByteArray::number(unknown.size()) + "\r\n\r\n" + unknown)),
              400);

    // Only this machine's names as the Host (a DNS trick names another
    // site), and commands from a browser only from the remote's own origin.
    const QByteArray port = QByteArray::number(server.port());
    const auto asHost = [&](const QByteArray& host, const QByteArray& extra = {}) {
        return status(exchange("GET /api/state HTTP/1.1\r\nHost: " + host + "\r\n" + cookie +
                               extra + "\r\n"));
    };
    EXPECT_EQ(asHost("evil.example:" + port), 403);
    EXPECT_EQ(asHost("127.0.0.1.evil.example"), 403);
    EXPECT_EQ(asHost("LocalHost:" + port), 200);
    EXPECT_EQ(asHost("[::1]:" + port), 200);
    EXPECT_EQ(status(exchange("GET /api/state HTTP/1.1\r\n" + cookie + "\r\n")), 200);
    const auto fromOrigin = [&](const QByteArray& origin) {
        return status(exchange("POST /api/command HTTP/1.1\r\nHost: 127.0.0.1:" + port + "\r\n" +
                               cookie + "Origin: " + origin + "\r\nContent-Length: " +
                               QByteArray::number(body.size()) + "\r\n\r\n" + body));
    };
    EXPECT_EQ(fromOrigin("http://evil.example"), 403);
    EXPECT_EQ(fromOrigin("http://127.0.0.1:" + port), 204);
}

TEST_F(RemoteServerTest, GivesTheViewersKeyThePagesThatWatchAndNoCommand) {
    const QByteArray viewer = QByteArray::fromStdString(kViewer);
    const QByteArray first = get("/stage?t=" + viewer);
    EXPECT_EQ(status(first), 200);
    EXPECT_NE(first.indexOf("Set-Cookie: quilo_" + QByteArray::number(server.port()) +
                            "_vista=" + viewer),
              -1);
    for (const QByteArray path : {"/stage", "/live", "/captions", "/api/state", "/api/cues"})
        EXPECT_EQ(status(get(path, keptKey(kViewer))), 200) << path.constData();
    const QByteArray remote = get("/", keptKey(kViewer));
    EXPECT_EQ(status(remote), 403);
    EXPECT_NE(remote.indexOf("Solo per guardare"), -1);
    const QByteArray body = R"({"cmd":"pause"})";
    QSignalSpy commanded(&server, &RemoteServer::commanded);
    EXPECT_EQ(status(exchange("POST /api/command?t=" + viewer + " HTTP/1.1\r\nContent-Length: " +
                              QByteArray::number(body.size()) + "\r\n\r\n" + body)),
              403);
    // The operator's cookie of another port is no key here.
    EXPECT_EQ(
        status(get("/api/state", "Cookie: quilo_1=" + QByteArray::fromStdString(kToken) + "\r\n")),
        403);
    QTest::qWait(100);
    EXPECT_EQ(commanded.count(), 0);
}

TEST_F(RemoteServerTest, BoundsHeadersBodiesConnectionsAndSlowClients) {
    const QByteArray cookie = keptKey();
    EXPECT_EQ(status(get("/api/state", QByteArray(9000, 'x') + ": y\r\n")), 431);
    EXPECT_EQ(status(exchange("POST /api/command HTTP/1.1\r\n" + cookie +
                              "Content-Length: 1048576\r\n\r\n")),
              413);
    // More connections than allowed: the extra ones are closed at once.
    std::vector<std::unique_ptr<QTcpSocket>> crowd;
    for (int i = 0; i < 40; ++i) {
        crowd.push_back(std::make_unique<QTcpSocket>());
        crowd.back()->connectToHost(QHostAddress::LocalHost, server.port());
        crowd.back()->waitForConnected(1000);
    }
    QTest::qWait(300);
    int closed = 0;
    for (auto& s : crowd) {
        s->waitForDisconnected(50);
        closed += s->state() != QAbstractSocket::ConnectedState;
    }
    EXPECT_GE(closed, 40 - RemoteServer::kMaxUnverifiedPerAddress);
    crowd.clear();
    QTest::qWait(200);
    EXPECT_EQ(status(get("/api/state", cookie)), 200);  // and it still answers

    // Strangers from two other addresses hold every connection they can and
    // send nothing: the key's requests are answered all the same, at once.
    for (const char* stranger : {"127.0.0.2", "127.0.0.3"}) {
        for (int i = 0; i < 100; ++i) {
            crowd.push_back(std::make_unique<QTcpSocket>());
            crowd.back()->bind(QHostAddress(QString::fromLatin1(stranger)));
            crowd.back()->connectToHost(QHostAddress::LocalHost, server.port());
        }
    }
    QTest::qWait(300);
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer answered;
        answered.start();
        EXPECT_EQ(status(get("/api/state", cookie)), 200) << "request " << i;
        EXPECT_LT(answered.elapsed(), 500) << "request " << i;
    }
    crowd.clear();
    // One length, said one way; headers ended by LF alone refused at once.
    const QByteArray body = R"({"cmd":"next"})";
    const QByteArray post = "POST /api/command HTTP/1.1\r\n" + cookie;
    EXPECT_EQ(status(exchange(post + "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n")), 411);
    EXPECT_EQ(
        status(exchange(post + "Transfer-Encoding: chunked\r\nContent-Length: 14\r\n\r\n" + body)),
        400);
    EXPECT_EQ(status(exchange(post + "Content-Length: 14\r\nContent-Length: 2\r\n\r\n" + body)),
              400);
    QElapsedTimer bare;
    bare.start();
    EXPECT_EQ(status(exchange("GET /api/state HTTP/1.1\n" +
                              QByteArray(cookie).replace("\r\n", "\n") + "\n")),
              400);
    EXPECT_LT(bare.elapsed(), 1000);

    // Upgrades that then send garbage frames, more of them than connections
    // are allowed: requests are still read and answered afterwards.
    const QByteArray host = "127.0.0.1:" + QByteArray::number(server.port());
    for (int i = 0; i < 40; ++i) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, server.port());
        socket.waitForConnected(1000);
        socket.write("GET /ws HTTP/1.1\r\nHost: " + host + "\r\n" + cookie +
                     "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                     "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nOrigin: http://" +
                     host + "\r\n\r\n");
        socket.waitForReadyRead(1000);
        socket.write(QByteArray("\x81\xff\0\0\0\0\0\x10\0\0", 10) + QByteArray(4000, 'g'));
        socket.waitForBytesWritten(1000);
    }
    QTest::qWait(200);
    EXPECT_EQ(status(get("/api/state", cookie)), 200);
}

TEST_F(RemoteServerTest, PushesTheStateAndLiveFramesOverWebSocketsOnlyToItsOwnOrigin) {
    const QString url = QStringLiteral("ws://127.0.0.1:%1/ws?t=%2")
                            .arg(server.port())
                            .arg(QString::fromStdString(kToken));
    QWebSocket foreign(QStringLiteral("http://evil.example"));
    foreign.open(QUrl(url));
    QSignalSpy refused(&foreign, &QWebSocket::disconnected);
    EXPECT_TRUE(refused.wait(2000));

    QWebSocket own(QStringLiteral("http://127.0.0.1:%1").arg(server.port()));
    QSignalSpy messages(&own, &QWebSocket::textMessageReceived);
    own.open(QUrl(url));
    ASSERT_TRUE(messages.wait(2000));
    EXPECT_EQ(messages.at(0).at(0).toString(), R"({"position":"01:00:07:30"})");
    server.publish(R"({"position":"01:00:08:00"})");
    ASSERT_TRUE(messages.wait(2000));
    EXPECT_EQ(messages.at(1).at(0).toString(), R"({"position":"01:00:08:00"})");

    // The live page's socket takes the frames, and only it.
    QSignalSpy joined(&server, &RemoteServer::liveJoined);
    QWebSocket live(QStringLiteral("http://127.0.0.1:%1").arg(server.port()));
    QSignalSpy frames(&live, &QWebSocket::binaryMessageReceived);
    QSignalSpy stateFrames(&own, &QWebSocket::binaryMessageReceived);
    live.open(QUrl(QString(url).replace(QStringLiteral("/ws?"), QStringLiteral("/ws/live?"))));
    ASSERT_TRUE(joined.wait(2000));
    EXPECT_EQ(server.liveViewers(), 1);
    server.pushFrame("frame1");
    ASSERT_TRUE(frames.wait(2000));
    EXPECT_EQ(frames.at(0).at(0).toByteArray(), "frame1");
    EXPECT_EQ(stateFrames.count(), 0);
    live.close();
    for (int i = 0; i < 100 && server.liveViewers() > 0; ++i) QTest::qWait(10);
    EXPECT_EQ(server.liveViewers(), 0);
}

}  // namespace
}  // namespace quilo
