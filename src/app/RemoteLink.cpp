#include "app/RemoteLink.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QMessageBox>
#include <QNetworkInterface>
#include <Qt>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/Settings.h"
#include "remote/RemoteAccess.h"
#include "shared/RegularFile.h"

namespace quilo {
namespace {

constexpr const char* kRemoteKey = "telecomando";
constexpr int kHeartbeatMs = 250;
constexpr std::size_t kWaitingCommandsAtMost = 16;

// The address a phone on the same network reaches this machine at.
// The host part of a URL: an IPv6 address goes in brackets.
QString urlHost(const QString& host) {
    return host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
}

QString joinAddress(const QString& bind) {
    if (!bind.isEmpty() && bind != QStringLiteral("0.0.0.0") && bind != QStringLiteral("::"))
        return urlHost(bind);
    for (const QHostAddress& address : QNetworkInterface::allAddresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return address.toString();
    return QStringLiteral("127.0.0.1");
}

}  // namespace

std::variant<TokenFile, std::string> tokenFromFile(const std::string& path) {
    std::string text;
    struct stat info {};
    switch (readRegularFile(path, 256, text)) {
        case FileProblem::None:
            break;
        case FileProblem::TooLarge:
            return std::string("è troppo grande per una chiave");
        case FileProblem::Missing:
            return std::string("non esiste");
        case FileProblem::NotRegular:
            return std::string("non è un file normale");
        case FileProblem::Unreadable:
            return std::string("non si può leggere");
    }
    const auto token = wellFormedToken(text);
    if (!token) return std::string("non è di 32 cifre esadecimali");
    if (token->find_first_not_of('0') == std::string::npos)
        return std::string("è tutta di zeri: chiunque la indovinerebbe");
    const bool others = ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IROTH) != 0;
    return TokenFile{*token, others};
}

std::string keptRemoteKey(const std::string& file, bool renew) {
    if (!renew) {
        const auto kept = tokenFromFile(file);
        if (const auto* key = std::get_if<TokenFile>(&kept)) return key->token;
    }
    const std::string token = newRemoteToken();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    const int fd =
        ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0) {
        ::fchmod(fd, 0600);
        const std::string line = token + "\n";
        [[maybe_unused]] const ssize_t n = ::write(fd, line.data(), line.size());
        ::close(fd);
    }
    return token;
}

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

std::string viewerTokenFor(const std::string& operatorToken) {
    const QByteArray hash = QCryptographicHash::hash(
        QByteArray("quilo-vista:") + QByteArray::fromStdString(operatorToken),
        QCryptographicHash::Sha256);
    return hash.toHex().left(int(kTokenLength)).toStdString();
}

RemoteLink::RemoteLink(const AppOptions& options, Presentation& core, CdControl& cd,
                       ShowOperator& show, Warnings& warnings, std::function<void()> sync)
    : options_(options),
      core_(core),
      cd_(cd),
      show_(show),
      warnings_(warnings),
      sync_(std::move(sync)) {
    heartbeat_.setInterval(kHeartbeatMs);
    connect(&heartbeat_, &QTimer::timeout, this, [this] { heartbeat(); });
}

RemoteLink::~RemoteLink() = default;

void RemoteLink::start() {
    if (options_.noRemote) {
        settings(options_)->setValue(QString::fromLatin1(kRemoteKey), false);
        return;
    }
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
    if (!joinWindow_) {
        joinWindow_ = std::make_unique<JoinWindow>();
        joinWindow_->onTurnOff = [this] { turnOff(); };
        joinWindow_->onNewKey = [this] { newKey(); };
    }
    joinWindow_->setLinks(links());
    joinWindow_->show();
    joinWindow_->raise();
}

// "Spegni il telecomando": the server stops (every phone loses it at once),
// and the next runs start without it.
void RemoteLink::turnOff() {
    settings(options_)->setValue(QString::fromLatin1(kRemoteKey), false);
    pictures_.reset();
    server_.reset();
    heartbeat_.stop();
    address_.clear();
    if (joinWindow_) joinWindow_->hide();
}

// The key kept beside the settings: phones that joined once join again
// after a restart, until "Nuova chiave".
std::string RemoteLink::keyFile() const {
    return (QFileInfo(settings(options_)->fileName()).absolutePath() +
            QStringLiteral("/telecomando.chiave"))
        .toStdString();
}

void RemoteLink::newKey() {
    if (!server_ || !options_.remoteTokenFile.empty()) return;
    keptRemoteKey(keyFile(), true);
    const int port = server_->port();
    pictures_.reset();
    server_.reset();
    startOn(port);
    if (joinWindow_ && server_) joinWindow_->setLinks(links());
}

void RemoteLink::startOn(int port) {
    std::string token = options_.remoteTokenFile.empty() ? keptRemoteKey(keyFile(), false) : "";
    if (!options_.remoteTokenFile.empty()) {
        const auto fixed = tokenFromFile(options_.remoteTokenFile);
        if (const auto* why = std::get_if<std::string>(&fixed)) {
            warnings_.warn("la chiave del telecomando in " + options_.remoteTokenFile + " " + *why +
                           ": lo spettacolo va avanti senza telecomando");
            return;
        }
        token = std::get<TokenFile>(fixed).token;
        if (std::get<TokenFile>(fixed).othersMayRead)
            warnings_.warn("la chiave del telecomando in " + options_.remoteTokenFile +
                           " si può leggere da altri utenti di questo computer (chmod 600)");
    }
    QHostAddress bind = QHostAddress::Any;
    const QString bindName = QString::fromStdString(options_.remoteBind);
    if (bindName == QStringLiteral("localhost")) {
        bind = QHostAddress::LocalHost;
    } else if (!bindName.isEmpty() && !bind.setAddress(bindName)) {
        warnings_.warn("indirizzo del telecomando non valido: " + options_.remoteBind);
        return;
    }
    viewerToken_ = viewerTokenFor(token);
    server_ = std::make_unique<RemoteServer>(
        RemoteServerOptions{static_cast<quint16>(port), bind, token, viewerToken_});
    RemoteServer* server = server_.get();
    pictures_ =
        std::make_unique<RemotePictures>([server](QByteArray jpeg) { server->pushFrame(jpeg); });
    server_->setThumbnails([pictures = pictures_.get()](int line, auto done) {
        pictures->thumbnail(line, std::move(done));
    });
    server_->setDiscTracks([&cd = cd_] {
        std::vector<std::int32_t> lengths;
        for (const DiscTrack& track : cd.trackTable()) lengths.push_back(track.length);
        return lengths;
    });
    if (auto failure = server_->start()) {
        warnings_.warn(*failure);
        pictures_.reset();
        server_.reset();
        return;
    }
    connect(server, &RemoteServer::liveJoined, this, [this] { mirror(true); });
    connect(server, &RemoteServer::commanded, this, [this](RemoteCommand command) {
        if (QApplication::activeModalWidget()) {
            if (waitingCommands_.size() < kWaitingCommandsAtMost)
                waitingCommands_.push_back(command);
            return;
        }
        run(command);
        sync_();
    });
    address_ = QStringLiteral("http://%1:%2/?t=%3")
                   .arg(joinAddress(QString::fromStdString(options_.remoteBind)))
                   .arg(server_->port())
                   .arg(QString::fromStdString(token));
    // The key is said only to a terminal: a desktop launcher's output goes to a log.
    if (::isatty(STDOUT_FILENO))
        std::cout << "quilo: telecomando su " << address_.toStdString() << "\n" << std::flush;
    cuesVersion_.clear();
    heartbeat_.start();
    publish();
}

QString RemoteLink::viewerAddress(const QString& page) const {
    if (address_.isEmpty()) return {};
    QString url = address_;
    url.truncate(url.indexOf(QStringLiteral("/?t=")));
    return url + QLatin1Char('/') + page + QStringLiteral("?t=") +
           QString::fromStdString(viewerToken_);
}

QList<JoinWindow::Link> RemoteLink::links() const {
    return {{QStringLiteral("Telecomando (comanda lo spettacolo)"), address_},
            {QStringLiteral("Palco (solo guardare)"), viewerAddress(QStringLiteral("stage"))},
            {QStringLiteral("Diretta (solo guardare)"), viewerAddress(QStringLiteral("live"))},
            {QStringLiteral("Sottotitoli per la diretta (solo guardare)"),
             viewerAddress(QStringLiteral("captions"))}};
}

// A message box of the show (its handler waits for OK) stops the ticks that
// publish; the music plays on, and so does the state. Commands sent
// meanwhile run once it is closed, in their order.
void RemoteLink::heartbeat() {
    if (QApplication::activeModalWidget()) return publish();
    if (waitingCommands_.empty()) return;
    while (!waitingCommands_.empty()) {
        run(waitingCommands_.front());
        waitingCommands_.pop_front();
    }
    sync_();
}

void RemoteLink::publish() {
    if (!server_) return;
    const Modulo1& state = core_.state();
    const CdMode mode = cd_.mode();
    ShowSide side;
    side.transport = mode == CdMode::Playing  ? Transport::Playing
                     : mode == CdMode::Paused ? Transport::Paused
                                              : Transport::Stopped;
    for (const DiscTrack& track : cd_.trackTable()) side.tracks.push_back(track.length);
    side.pauseLeft = core_.clock().secondsUntilPauseEnds();
    RemoteState remote = remoteState(state, CdPosition::unpack(cd_.position()), side);
    if (remote.cues != cuesVersion_) {
        cuesVersion_ = remote.cues;
        server_->setCues(cuesJson(state));
        pictures_->setScript(state.scriptPath, options_.root, remote.cues);
    }
    remote.black = show_.black();
    remote.message = message_;
    if (const auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
        remote.waiting = box->text().left(200).toStdString();
    server_->publish(stateJson(remote));
}

void RemoteLink::mirror(bool always) {
    if (!pictures_ || server_->liveViewers() == 0) return;
    static const DisplayForm kBlack = [] {
        DisplayForm black;
        black.backColour = {0, 0, 0};
        for (auto* label : {&black.Label1[0], &black.Label1[1], &black.Label2[0], &black.Label2[1]})
            label->visible = false;
        black.Text1.visible = false;
        for (auto& pane : black.ImgEdit) pane.visible = false;
        black.visible = true;
        return black;
    }();
    const DisplayForm& now = show_.black() ? kBlack : core_.testo1();
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
        case RemoteCommandKind::Black:
            show_.setBlack(command.on);
            mirror(true);
            break;
        case RemoteCommandKind::Message:
            message_ = command.text;
            break;
    }
}

}  // namespace quilo
