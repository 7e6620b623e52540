// The remote's pages in a real browser: headless Chromium, driven through its
// DevTools protocol, against the real program stepped in virtual time: the
// remote moves the show and blacks its screen, the stage and live pages
// follow, the viewers' link watches and never commands, the list stands
// still under a finger, follows a script saved while it plays, and every
// page says when it has lost the show and comes back. Skipped without
// Chromium.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUrl>
#include <QWebSocket>
#include <filesystem>
#include <fstream>

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
        return call("Runtime.evaluate", {{"expression", expression},
                                         {"returnByValue", true},
                                         {"awaitPromise", true}})["result"]["value"];
    }
    // The page's size, as a phone's or a tablet's.
    void resize(int width, int height) {
        call("Emulation.setDeviceMetricsOverride",
             {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", true}});
    }
    // The result of a DevTools method.
    QJsonValue call(const QString& method, const QJsonObject& params) {
        const int id = ++lastId_;
        QJsonObject message{{"id", id}, {"method", method}, {"params", params}};
        QJsonValue result;
        bool answered = false;
        auto connection =
            QObject::connect(&socket_, &QWebSocket::textMessageReceived, [&](const QString& text) {
                const QJsonObject reply = QJsonDocument::fromJson(text.toUtf8()).object();
                if (reply.value("id").toInt() != id) return;
                result = reply["result"];
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

// The demo show played from its first second, its remote on a free port of
// its own (the same port when it is turned off and on again).
class RemoteBrowser : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("chromium")).isEmpty())
            GTEST_SKIP() << "no chromium";
        fs::copy(fs::path(QUILO_SOURCE_DIR) / "demo", root.path(), fs::copy_options::recursive);
        options.root = root.path().string();
        options.disc = (fs::path(QUILO_BINARY_DIR) / "demo" / "demo.cue").string();
        options.settingsFile = (root.path() / "impostazioni.ini").string();
        options.script = (root.path() / "Allegato" / "demo.txt").string();
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        options.remotePort = probe.serverPort();
        probe.close();
        options.remoteBind = "127.0.0.1";
        stepper = std::make_unique<Stepper>(options, messages, exit, sound, &warnings);
        ASSERT_FALSE(app().start());
        ASSERT_TRUE(stepper->stepUntil(1, 0, 2));
    }
    QuiloApp& app() { return stepper->app(); }
    std::function<void()> step() {
        return [this] { stepper->step(); };
    }
    int seconds() { return CdPosition::unpack(app().cd().position()).seconds; }
    // Steps until the show is at `second` of the first track, or a while.
    bool reaches(int second) {
        for (int i = 0; i < 300 && seconds() != second; ++i) stepper->step(), QTest::qWait(10);
        return seconds() == second;
    }

    TempDir root;
    AppOptions options;
    RecordingMessages messages;
    RecordingExit exit;
    RecordingSound sound;
    RecordingWarnings warnings;
    std::unique_ptr<Stepper> stepper;
};

TEST_F(RemoteBrowser, MovesAndBlacksTheShowFromTheRemoteAndTheOtherPagesFollow) {
    BrowserPage remote(app().remote().address(), step());
    ASSERT_TRUE(remote.open()) << "the browser offered no page";
    ASSERT_TRUE(remote.until("document.querySelectorAll('#cues li').length > 20"));
    EXPECT_TRUE(
        remote.until("document.getElementById('status').textContent === "
                     "'In riproduzione'"));
    remote.evaluate("document.querySelector('[data-cmd=\"next-cue\"]').click(); true");
    EXPECT_TRUE(reaches(4));
    // A tap chooses a cue; only a second tap on it moves the show there.
    remote.evaluate("document.querySelector('#cues li[data-line=\"16\"]').click(); true");
    EXPECT_TRUE(remote.until("document.querySelector('#cues li.chosen').dataset.line === '16'"));
    EXPECT_FALSE(reaches(20));
    remote.evaluate("document.querySelector('#cues li[data-line=\"16\"]').click(); true");
    EXPECT_TRUE(reaches(20));
    EXPECT_TRUE(remote.until("document.querySelector('#cues li.current').dataset.line === '16'"));
    EXPECT_TRUE(
        remote.until("document.querySelector('#cues li[data-line=\"16\"] img').naturalWidth "
                     "=== 240"));

    // The stage: a picture cue comes as its thumbnail, not its file's name.
    BrowserPage stage(app().remote().viewerAddress(QStringLiteral("stage")), step());
    ASSERT_TRUE(stage.open());
    EXPECT_TRUE(stage.until("document.querySelector('#next img') !== null"));
    EXPECT_EQ(stage.evaluate("document.getElementById('next').textContent").toString(), "");
    EXPECT_TRUE(
        stage.until("/^\\d\\d:\\d\\d$/.test(document.getElementById('daytime')."
                    "textContent)"));

    BrowserPage live(app().remote().viewerAddress(QStringLiteral("live")), step());
    ASSERT_TRUE(live.open());
    const QPoint top(512, 40);
    const auto showsTheDisplay = [&](const QColor& expected) {
        for (int i = 0; i < 100; ++i) {
            if (near(live.evaluate(livePixelScript(top)).toString(), expected)) return true;
            stepper->step(), QTest::qWait(20);
        }
        ADD_FAILURE() << "live " << live.evaluate(livePixelScript(top)).toString().toStdString()
                      << ", expected " << expected.name().toStdString();
        return false;
    };
    EXPECT_TRUE(showsTheDisplay(displayColourAt(app().presentation().testo1(), top)));
    // "Schermo nero": the audience's screen and the live page go black, the
    // music plays on; and back.
    remote.evaluate("document.getElementById('black').click(); true");
    for (int i = 0;
         i < 200 && !remote.evaluate("document.body.classList.contains('black')").toBool(); ++i)
        stepper->step(), QTest::qWait(10);
    const QImage screen = app().displayView().grab().toImage();
    EXPECT_EQ(screen.pixelColor(screen.width() / 2, 40), QColor(Qt::black));
    EXPECT_TRUE(showsTheDisplay(Qt::black));
    EXPECT_EQ(app().cd().mode(), CdMode::Playing);
    remote.evaluate("document.getElementById('black').click(); true");
    EXPECT_TRUE(showsTheDisplay(displayColourAt(app().presentation().testo1(), top)));
    const QColor before = displayColourAt(app().presentation().testo1(), top);
    remote.evaluate(
        "var c = document.querySelector('#cues li[data-line=\"23\"]'); c.click(); "
        "c.click(); true");
    for (int i = 0; i < 300 && displayColourAt(app().presentation().testo1(), top) == before; ++i)
        stepper->step(), QTest::qWait(10);
    ASSERT_NE(displayColourAt(app().presentation().testo1(), top), before)
        << "the show did not change";
    EXPECT_TRUE(showsTheDisplay(displayColourAt(app().presentation().testo1(), top)));
    // A message for the stage, shown until cleared.
    remote.evaluate(
        "document.getElementById('message').value = 'Più piano'; "
        "document.querySelector('#say form').requestSubmit(); true");
    EXPECT_TRUE(stage.until("document.getElementById('message').textContent === 'Più piano'"));
    remote.evaluate("document.getElementById('unsay').click(); true");
    EXPECT_TRUE(stage.until("document.getElementById('message').hidden"));
}

TEST_F(RemoteBrowser, TheViewersLinkWatchesTheCaptionsOnATransparentPageAndNeverCommands) {
    const QString captions = app().remote().viewerAddress(QStringLiteral("captions")) +
                             QStringLiteral("&size=60&pos=top");
    BrowserPage page(captions, step());
    ASSERT_TRUE(page.open());
    EXPECT_TRUE(
        page.until("document.getElementById('caption').textContent === 'Benvenuti a Quilo'"));
    EXPECT_EQ(page.evaluate("getComputedStyle(document.body).backgroundColor").toString(),
              "rgba(0, 0, 0, 0)");
    EXPECT_EQ(
        page.evaluate("getComputedStyle(document.documentElement).backgroundColor").toString(),
        "rgba(0, 0, 0, 0)");
    EXPECT_EQ(
        page.evaluate("getComputedStyle(document.getElementById('caption')).fontSize").toString(),
        "60px");
    // The key left the address; the page's own parameters stayed.
    EXPECT_EQ(page.evaluate("location.search").toString(), "?size=60&pos=top");
    EXPECT_EQ(page.evaluate("fetch('/api/command', {method: 'POST', body: "
                            "'{\"cmd\":\"pause\"}'}).then(r => r.status)")
                  .toInt(),
              403);
    EXPECT_EQ(page.evaluate("fetch('/').then(r => r.status)").toInt(), 403);
    for (int i = 0; i < 20; ++i) stepper->step(), QTest::qWait(10);
    EXPECT_EQ(app().cd().mode(), CdMode::Playing);
}

TEST_F(RemoteBrowser, TheListStandsStillUnderAFingerAndFollowsAScriptSavedWhilePlaying) {
    BrowserPage remote(app().remote().address(), step());
    ASSERT_TRUE(remote.open());
    ASSERT_TRUE(remote.until("document.querySelectorAll('#cues li').length > 20"));
    // A phone on its side: the controls beside the list, four cues and more in view.
    remote.resize(915, 412);
    EXPECT_TRUE(
        remote.until("[...document.querySelectorAll('#cues li')].filter(function (e) {"
                     "var r = e.getBoundingClientRect();"
                     "return r.top >= 0 && r.bottom <= innerHeight; }).length >= 4"));
    // Scrolled to the end, a finger on the list: the cues change under it,
    // the list does not move, and "Torna al corrente" is offered.
    const QString underFinger = QStringLiteral(
        "(function(){var l=document.getElementById('cues');var r=l.getBoundingClientRect();"
        "var e=document.elementFromPoint(r.left+r.width/2,innerHeight-60);"
        "var li=e&&e.closest('li');return li?li.dataset.line:'';})()");
    remote.evaluate(
        "var l=document.getElementById('cues');l.lastChild.scrollIntoView();"
        "l.dispatchEvent(new Event('touchstart'));true");
    const QString before = remote.evaluate(underFinger).toString();
    ASSERT_FALSE(before.isEmpty());
    EXPECT_TRUE(stepper->stepUntil(1, 0, 9));
    EXPECT_TRUE(remote.until("document.querySelector('#cues li.current').dataset.line === '11'"));
    EXPECT_EQ(remote.evaluate(underFinger).toString(), before);
    EXPECT_FALSE(remote.evaluate("document.getElementById('back').hidden").toBool());
    remote.evaluate(
        "document.getElementById('cues').dispatchEvent(new Event('touchend'));"
        "document.getElementById('back').click(); true");
    EXPECT_TRUE(remote.until("document.getElementById('back').hidden"));
    EXPECT_TRUE(remote.until(underFinger + QStringLiteral(" !== '") + before + "'"));

    // The script saved with one cue more: the page asks for the list again.
    const int cues = remote.evaluate("document.querySelectorAll('#cues li').length").toInt();
    std::ifstream in(root.path() / "Allegato" / "demo.txt", std::ios::binary);
    std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    script.insert(0, "01:00:01Appena aggiunta12C\r\n");
    root.write("Allegato/demo.txt", script);
    for (int i = 0; i < 100; ++i) stepper->step(), QTest::qWait(10);
    EXPECT_TRUE(remote.until("document.querySelectorAll('#cues li').length === " +
                             QString::number(cues + 1)));
    EXPECT_TRUE(
        remote.until("document.querySelector('#cues li').textContent"
                     ".indexOf('Appena aggiunta') > 0"));
}

TEST_F(RemoteBrowser, EveryPageSaysWhenItLostTheShowAndComesBack) {
    BrowserPage remote(app().remote().address(), step());
    BrowserPage stage(app().remote().viewerAddress(QStringLiteral("stage")), step());
    ASSERT_TRUE(remote.open());
    ASSERT_TRUE(stage.open());
    ASSERT_TRUE(remote.until("document.getElementById('link').hidden"));
    ASSERT_TRUE(stage.until("document.getElementById('next').textContent !== '—'"));
    app().remote().turnOff();
    const QString lost =
        "document.getElementById('link').textContent.indexOf('perso: riprovo') > 0";
    EXPECT_TRUE(remote.until(lost));
    EXPECT_TRUE(stage.until(lost));
    // The remote on again on its port, with the key kept: both come back.
    app().remote().join();
    EXPECT_TRUE(remote.until("document.getElementById('link').hidden"));
    EXPECT_TRUE(stage.until("document.getElementById('link').hidden"));
    // A new key: the page says to scan the new code.
    app().remote().newKey();
    EXPECT_TRUE(remote.until(
        "document.getElementById('link').textContent.indexOf('inquadrare di nuovo') > 0"));
}

}  // namespace
}  // namespace quilo
