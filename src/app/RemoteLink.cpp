#include "app/RemoteLink.h"

#include <sys/random.h>

#include <QNetworkInterface>
#include <Qt>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/Settings.h"
#include "remote/RemoteAccess.h"

namespace quilo {
namespace {

constexpr const char* kRemoteKey = "telecomando";

// The address a phone on the same network reaches this machine at.
QString joinAddress(const QString& bind) {
    if (!bind.isEmpty() && bind != QStringLiteral("0.0.0.0")) return bind;
    for (const QHostAddress& address : QNetworkInterface::allAddresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return address.toString();
    return QStringLiteral("127.0.0.1");
}

}  // namespace

std::string newRemoteToken() {
    unsigned char bytes[16] = {};
    std::size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n > 0) got += static_cast<std::size_t>(n);
    }
    std::string token;
    char hex[3];
    for (unsigned char b : bytes) {
        std::snprintf(hex, sizeof hex, "%02x", b);
        token += hex;
    }
    return token;
}

RemoteLink::RemoteLink(const AppOptions& options, Presentation& core, CdControl& cd,
                       ShowOperator& show, Warnings& warnings, std::function<void()> sync)
    : options_(options),
      core_(core),
      cd_(cd),
      show_(show),
      warnings_(warnings),
      sync_(std::move(sync)) {}

RemoteLink::~RemoteLink() = default;

void RemoteLink::start() {
    if (options_.remotePort) {
        startOn(*options_.remotePort);
    } else if (settings(options_)->value(QString::fromLatin1(kRemoteKey)).toBool()) {
        startOn(kRemotePort);
    }
}

void RemoteLink::join() {
    if (!server_) {
        startOn(options_.remotePort.value_or(kRemotePort));
        if (!server_) return;
        settings(options_)->setValue(QString::fromLatin1(kRemoteKey), true);
    }
    if (!joinWindow_) joinWindow_ = std::make_unique<JoinWindow>();
    joinWindow_->setAddress(address_);
    joinWindow_->show();
    joinWindow_->raise();
}

void RemoteLink::startOn(int port) {
    std::string token = newRemoteToken();
    if (!options_.remoteTokenFile.empty()) {
        std::ifstream file(options_.remoteTokenFile);
        std::stringstream text;
        text << file.rdbuf();
        const auto fixed = wellFormedToken(text.str().substr(0, 256));
        if (!fixed) {
            warnings_.warn("la chiave del telecomando in " + options_.remoteTokenFile +
                           " non è di 32 cifre esadecimali: lo spettacolo va avanti senza "
                           "telecomando");
            return;
        }
        token = *fixed;
    }
    QHostAddress bind = QHostAddress::Any;
    if (!options_.remoteBind.empty() &&
        !bind.setAddress(QString::fromStdString(options_.remoteBind))) {
        warnings_.warn("indirizzo del telecomando non valido: " + options_.remoteBind);
        return;
    }
    server_ = std::make_unique<RemoteServer>(
        RemoteServerOptions{static_cast<quint16>(port), bind, token});
    RemoteServer* server = server_.get();
    pictures_ =
        std::make_unique<RemotePictures>([server](QByteArray jpeg) { server->pushFrame(jpeg); });
    server_->setThumbnails([pictures = pictures_.get()](int line, auto done) {
        pictures->thumbnail(line, std::move(done));
    });
    if (auto failure = server_->start()) {
        warnings_.warn(*failure);
        pictures_.reset();
        server_.reset();
        return;
    }
    connect(server, &RemoteServer::liveJoined, this, [this] { mirror(true); });
    connect(server, &RemoteServer::commanded, this, [this](RemoteCommand command) {
        run(command);
        sync_();
    });
    address_ = QStringLiteral("http://%1:%2/?t=%3")
                   .arg(joinAddress(QString::fromStdString(options_.remoteBind)))
                   .arg(server_->port())
                   .arg(QString::fromStdString(token));
    std::cout << "quilo: telecomando su " << address_.toStdString() << "\n" << std::flush;
    publish();
}

void RemoteLink::publish() {
    if (!server_) return;
    const Modulo1& state = core_.state();
    if (state.scriptPath != cuesFor_ || state.lineCount != cuesLines_) {
        cuesFor_ = state.scriptPath;
        cuesLines_ = state.lineCount;
        server_->setCues(cuesJson(state));
        pictures_->setScript(state.scriptPath, options_.root);
    }
    const CdMode mode = cd_.mode();
    const Transport transport = mode == CdMode::Playing  ? Transport::Playing
                                : mode == CdMode::Paused ? Transport::Paused
                                                         : Transport::Stopped;
    server_->publish(stateJson(remoteState(state, CdPosition::unpack(cd_.position()), transport)));
}

void RemoteLink::mirror(bool always) {
    if (!pictures_ || server_->liveViewers() == 0) return;
    const DisplayForm& now = core_.testo1();
    if (!always && mirrored_ && *mirrored_ == now) return;
    mirrored_ = now;
    pictures_->show(now);
}

void RemoteLink::run(const RemoteCommand& command) {
    switch (command.kind) {
        case RemoteCommandKind::Play:
            cd_.buttonPlay();
            break;
        case RemoteCommandKind::Pause:
            cd_.buttonPause();
            break;
        case RemoteCommandKind::Stop:
            cd_.buttonStop();
            break;
        case RemoteCommandKind::NextTrack:
            cd_.buttonNext();
            break;
        case RemoteCommandKind::PrevTrack:
            cd_.buttonPrev();
            break;
        case RemoteCommandKind::NextCue:
            show_.onKey(Qt::Key_Right);
            break;
        case RemoteCommandKind::PrevCue:
            show_.onKey(Qt::Key_Left);
            break;
        case RemoteCommandKind::FirstCue:
            show_.onKey(Qt::Key_Home);
            break;
        case RemoteCommandKind::GoTo:
            show_.goTo(command.at);
            break;
    }
}

}  // namespace quilo
