// The remote's pages in a real browser: headless Chromium, driven through its
// DevTools protocol, loads the remote with the key, touches "cue seguente"
// and then a cue of the list, and the real program's show moves there, the
// cue's thumbnail in the list; the stage page shows the next cue's text; the
// live page shows the display's colours, and follows the show to the next
// cue. Skipped without Chromium.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTest>
#include <QUrl>
#include <QWebSocket>
#include <filesystem>

#include "app/Stepper.h"
#include "display/view/DisplayPainter.h"
#include "support/CommandFakes.h"
#include "support/Harness.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using namespace quilo::testing;
namespace fs = std::filesystem;

// A page of the browser, driven by JavaScript evaluated in it.
class BrowserPage {
  public:
    BrowserPage(const QString& url, std::function<void()> step) : step_(std::move(step)) {
        profile_ = std::make_unique<TempDir>();
        browser_.setProgram(QStandardPaths::findExecutable(QStringLiteral("chromium")));
        browser_.setArguments({"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                               "--remote-debugging-port=0", "--remote-allow-origins=*",
                               "--user-data-dir=" + QString::fromStdString(profile_->path()), url});
        browser_.start();
    }
    ~BrowserPage() {
        socket_.close();
        browser_.kill();
        browser_.waitForFinished(3000);
    }
    // Connects to the page; false when the browser never offered it.
    bool open() {
        QByteArray said;
        QElapsedTimer clock;
        clock.start();
        int port = 0;
        while (port == 0 && clock.elapsed() < 20000) {
            browser_.waitForReadyRead(200);
            said += browser_.readAllStandardError();
            const int at = said.indexOf("ws://127.0.0.1:");
            if (at >= 0) port = said.mid(at + 15).split('/').value(0).toInt();
        }
        if (port == 0) return false;
        for (int attempt = 0; attempt < 50; ++attempt) {
            const QByteArray body = list(port);
            const QJsonArray targets = QJsonDocument::fromJson(body).array();
            for (const auto& target : targets) {
                const QJsonObject t = target.toObject();
                if (t.value("type").toString() != "page") continue;
                socket_.open(QUrl(t.value("webSocketDebuggerUrl").toString()));
                for (int i = 0; i < 100 && socket_.state() != QAbstractSocket::ConnectedState; ++i)
                    wait();
                return socket_.state() == QAbstractSocket::ConnectedState;
            }
            wait();
        }
        return false;
    }
    // The value of a JavaScript expression in the page.
    QJsonValue evaluate(const QString& expression) {
        const int id = ++lastId_;
        QJsonObject message{
            {"id", id},
            {"method", "Runtime.evaluate"},
            {"params", QJsonObject{{"expression", expression}, {"returnByValue", true}}}};
        QJsonValue result;
        bool answered = false;
        auto connection =
            QObject::connect(&socket_, &QWebSocket::textMessageReceived, [&](const QString& text) {
                const QJsonObject reply = QJsonDocument::fromJson(text.toUtf8()).object();
                if (reply.value("id").toInt() != id) return;
                result = reply["result"]["result"]["value"];
                answered = true;
            });
        socket_.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson()));
        for (int i = 0; i < 500 && !answered; ++i) wait();
        QObject::disconnect(connection);
        return result;
    }
    // Waits until the expression is true, up to five seconds.
    bool until(const QString& expression) {
        for (int i = 0; i < 100; ++i) {
            if (evaluate(expression).toBool()) return true;
            wait();
        }
        return false;
    }

  private:
    QByteArray list(int port) {
        QTcpSocket http;
        http.connectToHost(QHostAddress::LocalHost, quint16(port));
        if (!http.waitForConnected(1000)) return {};
        // The page's address is made from the Host header: it must name the port.
        http.write("GET /json/list HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
                   "\r\nConnection: close\r\n\r\n");
        QByteArray reply;
        while (http.waitForReadyRead(1000)) reply += http.readAll();
        return reply.mid(reply.indexOf("\r\n\r\n") + 4);
    }
    void wait() {
        step_();
        QTest::qWait(10);
    }

    std::unique_ptr<TempDir> profile_;
    QProcess browser_;
    QWebSocket socket_;
    std::function<void()> step_;
    int lastId_ = 0;
};

// The display's colour at a point of a 1024 x 768 frame, as the program paints it.
QColor displayColourAt(const DisplayForm& form, QPoint at) {
    DisplayPainter painter;
    QImage image(1024, 768, QImage::Format_RGB32);
    QPainter on(&image);
    painter.paint(on, image.size(), form);
    return image.pixelColor(at);
}

// The live page's colour at a point of its frame, read through a canvas.
QString livePixelScript(QPoint at) {
    return QStringLiteral(
               "(function(){var i=document.getElementById('frame');"
               "if(!i.naturalWidth)return '';var c=document.createElement('canvas');"
               "c.width=1024;c.height=768;var g=c.getContext('2d');g.drawImage(i,0,0);"
               "var d=g.getImageData(%1,%2,1,1).data;return d[0]+','+d[1]+','+d[2];})()")
        .arg(at.x())
        .arg(at.y());
}

bool near(const QString& rgb, const QColor& expected) {
    const QStringList parts = rgb.split(QLatin1Char(','));
    if (parts.size() != 3) return false;
    return std::abs(parts[0].toInt() - expected.red()) <= 16 &&
           std::abs(parts[1].toInt() - expected.green()) <= 16 &&
           std::abs(parts[2].toInt() - expected.blue()) <= 16;
}

TEST(RemoteBrowser, MovesTheShowFromTheRemotePageAndShowsWhatComesOnTheStage) {
    if (QStandardPaths::findExecutable(QStringLiteral("chromium")).isEmpty())
        GTEST_SKIP() << "no chromium";
    TempDir root;
    fs::copy(fs::path(QUILO_SOURCE_DIR) / "demo", root.path(), fs::copy_options::recursive);
    AppOptions options;
    options.root = root.path().string();
    options.disc = (fs::path(QUILO_BINARY_DIR) / "demo" / "demo.cue").string();
    options.settingsFile = (root.path() / "impostazioni.ini").string();
    options.script = (root.path() / "Allegato" / "demo.txt").string();
    options.remotePort = 0;
    RecordingMessages messages;
    RecordingExit exit;
    RecordingSound sound;
    RecordingWarnings warnings;
    Stepper stepper(options, messages, exit, sound, &warnings);
    QuiloApp& app = stepper.app();
    ASSERT_FALSE(app.start());
    ASSERT_TRUE(stepper.stepUntil(1, 0, 2));
    QString address = app.remote().address();
    address.replace(QUrl(address).host(), QStringLiteral("127.0.0.1"));
    const auto step = [&] { stepper.step(); };
    const auto seconds = [&] { return CdPosition::unpack(app.cd().position()).seconds; };

    BrowserPage remote(address, step);
    ASSERT_TRUE(remote.open()) << "the browser offered no page";
    ASSERT_TRUE(remote.until("document.querySelectorAll('#cues li').length > 20"));
    remote.evaluate("document.querySelector('[data-cmd=\"next-cue\"]').click(); true");
    for (int i = 0; i < 200 && seconds() != 4; ++i) step(), QTest::qWait(10);
    EXPECT_EQ(seconds(), 4);
    remote.evaluate("document.querySelector('#cues li[data-line=\"16\"]').click(); true");
    for (int i = 0; i < 200 && seconds() != 20; ++i) step(), QTest::qWait(10);
    EXPECT_EQ(seconds(), 20);
    EXPECT_TRUE(remote.until("document.querySelector('#cues li.current').dataset.line === '16'"));
    EXPECT_TRUE(
        remote.until("document.querySelector('#cues li[data-line=\"16\"] img').naturalWidth "
                     "=== 240"));

    QString stageAddress = address;
    stageAddress.replace(QStringLiteral("/?t="), QStringLiteral("/stage?t="));
    BrowserPage stage(stageAddress, step);
    ASSERT_TRUE(stage.open());
    EXPECT_TRUE(stage.until("document.getElementById('next').textContent === 'torre.png'"));

    QString liveAddress = address;
    liveAddress.replace(QStringLiteral("/?t="), QStringLiteral("/live?t="));
    BrowserPage live(liveAddress, step);
    ASSERT_TRUE(live.open());
    const QPoint top(512, 40);
    const auto showsTheDisplay = [&] {
        const QColor expected = displayColourAt(app.presentation().testo1(), top);
        for (int i = 0; i < 100; ++i) {
            if (near(live.evaluate(livePixelScript(top)).toString(), expected)) return true;
            step(), QTest::qWait(20);
        }
        ADD_FAILURE() << "live " << live.evaluate(livePixelScript(top)).toString().toStdString()
                      << ", display " << expected.name().toStdString();
        return false;
    };
    EXPECT_TRUE(showsTheDisplay());
    const QColor before = displayColourAt(app.presentation().testo1(), top);
    remote.evaluate("document.querySelector('#cues li[data-line=\"23\"]').click(); true");
    for (int i = 0; i < 300 && displayColourAt(app.presentation().testo1(), top) == before; ++i)
        step(), QTest::qWait(10);
    ASSERT_NE(displayColourAt(app.presentation().testo1(), top), before)
        << "the show did not change";
    EXPECT_TRUE(showsTheDisplay());
}

}  // namespace
}  // namespace quilo
