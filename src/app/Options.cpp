#include "app/Options.h"

#include <QCommandLineParser>
#include <QDir>
#include <cstdio>
#include <iostream>

#include "shared/CommandLine.h"

namespace quilo {
namespace {

const char* const kHelp =
    "uso: quilo [COPIONE] [--from TT:MM:SS] [--root CARTELLA] [--disc SORGENTE]\n"
    "           [--sync-offset MS] [--screen N]\n"
    "Presentazioni sincronizzate con un CD audio (unit\u00E0, immagine o cartella di brani).\n"
    "Senza copione si apre la scelta del copione; con un copione lo spettacolo parte\n"
    "subito, a tutto schermo.\n\n"
    "  COPIONE             copione da avviare subito, come con \"Lettore\" e Play, o\n"
    "                      spettacolo in un solo file (.quilo, fatto con quilo-pack)\n"
    "  --from TT:MM:SS     comincia da questo punto del disco (brano:minuti:secondi)\n"
    "  --root CARTELLA     cartella che fa da unit\u00E0 C: (predefinita: ~/Quilo)\n"
    "  --disc SORGENTE     unit\u00E0 CD, immagine (.cue, .toc, .nrg) o cartella di brani\n"
    "  --sync-offset MS    millisecondi aggiunti alla posizione seguita dal copione,\n"
    "                      per un ritardo che il server audio non conosce\n"
    "  --screen N          schermo della finestra di presentazione (0, 1, ...)\n"
    "  --remote [PORTA]    telecomando dal telefono sulla rete locale (porta 8390)\n"
    "  --remote-bind IND   l'interfaccia del telecomando (predefinite: tutte)\n"
    "  --remote-token FILE la chiave del telecomando da un file (32 cifre esadecimali)\n"
    "  --no-remote         spegne il telecomando, anche per le volte seguenti\n"
    "  --help, --version\n\n"
    "Tasti sulla presentazione: frecce e Pag su/gi\u00F9 tra le scene, Home alla prima,\n"
    "Spazio pausa, F11 o F schermo intero, Esc il pannello.\n";

// A script named Windows-style ("C:\Allegato\x.txt") goes through the root as
// the chooser's would; any other relative name is taken from the current folder.
std::string scriptArgument(const QString& named) {
    const bool windowsStyle =
        named.size() >= 2 && named[1] == QLatin1Char(':') && named[0].isLetter();
    return (windowsStyle ? named : QDir::current().absoluteFilePath(named)).toStdString();
}

}  // namespace

std::optional<CdPosition> parseDiscTime(const std::string& text) {
    int track = 0;
    int minutes = 0;
    int seconds = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%d:%d:%d%c", &track, &minutes, &seconds, &end) != 3)
        return std::nullopt;
    if (track < 1 || track > 99 || minutes < 0 || minutes > 99 || seconds < 0 || seconds > 59)
        return std::nullopt;
    return CdPosition{track, minutes, seconds, 0};
}

std::optional<AppOptions> parseOptions(const QStringList& given, int& exitCode) {
    // "--remote" takes a port or nothing, which the parser cannot say.
    QStringList arguments;
    std::optional<int> remotePort;
    for (int i = 0; i < given.size(); ++i) {
        if (given[i] != QStringLiteral("--remote")) {
            arguments << given[i];
            continue;
        }
        remotePort = kRemotePort;
        bool number = false;
        const int port = i + 1 < given.size() ? given[i + 1].toInt(&number) : 0;
        if (number) {
            if (port < 1 || port > 65535) {
                std::cerr << "quilo: --remote vuole una porta da 1 a 65535\n";
                exitCode = 2;
                return std::nullopt;
            }
            remotePort = port;
            ++i;
        }
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quilo: presentazioni sincronizzate con un CD audio (unità, immagine o "
                       "cartella di brani)."));
    // The help is written here in Italian, not Qt's English one.
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    const QCommandLineOption root(
        QStringLiteral("root"),
        QStringLiteral("Cartella che fa da unità C: (predefinita: ~/Quilo)."),
        QStringLiteral("DIR"), QDir::home().filePath(QStringLiteral("Quilo")));
    const QCommandLineOption disc(
        QStringLiteral("disc"),
        QStringLiteral("Unità CD, immagine (.cue, .toc, .nrg) o cartella di brani."),
        QStringLiteral("SOURCE"));
    const QCommandLineOption offset(
        QStringLiteral("sync-offset"),
        QStringLiteral("Millisecondi aggiunti alla posizione seguita dal copione, per un "
                       "ritardo che il server audio non conosce (negativo se il suono arriva "
                       "in sala più tardi)."),
        QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption screen(
        QStringLiteral("screen"),
        QStringLiteral("Schermo della finestra di presentazione (0, 1, ...)."),
        QStringLiteral("N"));
    const QCommandLineOption from(
        QStringLiteral("from"),
        QStringLiteral("Comincia lo spettacolo da questo punto del disco (brano:minuti:secondi)."),
        QStringLiteral("TT:MM:SS"));
    const QCommandLineOption remoteBind(QStringLiteral("remote-bind"),
                                        QStringLiteral("L'interfaccia del telecomando."),
                                        QStringLiteral("ADDR"));
    const QCommandLineOption remoteToken(QStringLiteral("remote-token"),
                                         QStringLiteral("La chiave del telecomando da un file."),
                                         QStringLiteral("FILE"));
    const QCommandLineOption noRemote(QStringLiteral("no-remote"),
                                      QStringLiteral("Spegne il telecomando ricordato."));
    parser.addOptions({root, disc, offset, screen, from, remoteBind, remoteToken, noRemote});
    parser.addPositionalArgument(
        QStringLiteral("COPIONE"),
        QStringLiteral("Copione da avviare subito, come con \"Lettore\" e Play."),
        QStringLiteral("[COPIONE]"));
    if (!parser.parse(arguments)) {
        // Either an option the parser does not know, or the last one given
        // without its value.
        const QStringList unknown = parser.unknownOptionNames();
        if (unknown.isEmpty()) {
            const std::string last = arguments.back().toStdString();
            exitCode = refuseArgument("quilo", last, {last.c_str()});
        } else {
            const std::string dashes = unknown.front().size() == 1 ? "-" : "--";
            exitCode = refuseArgument("quilo", dashes + unknown.front().toStdString(), {});
        }
        return std::nullopt;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        answeredItself(parser.isSet(help) ? "--help" : "--version", "quilo", kHelp);
        exitCode = 0;
        return std::nullopt;
    }
    AppOptions options;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        exitCode = refuseArgument("quilo", positional[1].toStdString(), {});
        return std::nullopt;
    }
    if (!positional.isEmpty()) options.script = scriptArgument(positional.front());
    if (parser.isSet(from)) {
        options.from = parseDiscTime(parser.value(from).toStdString());
        if (!options.from) {
            std::cerr
                << "quilo: --from vuole un punto del disco come 01:03:20 (brano:minuti:secondi)\n";
            exitCode = 2;
            return std::nullopt;
        }
    }
    options.root = QDir(parser.value(root)).absolutePath().toStdString();
    options.disc = parser.value(disc).toStdString();
    bool ok = true;
    options.syncOffsetMs = parser.value(offset).toInt(&ok);
    if (!ok) {
        std::cerr << "quilo: --sync-offset vuole un numero di millisecondi\n";
        exitCode = 2;
        return std::nullopt;
    }
    options.remotePort = remotePort;
    options.noRemote = parser.isSet(noRemote);
    if (options.noRemote && remotePort) {
        std::cerr << "quilo: --remote e --no-remote non vanno insieme\n";
        exitCode = 2;
        return std::nullopt;
    }
    options.remoteBind = parser.value(remoteBind).toStdString();
    options.remoteTokenFile = parser.value(remoteToken).toStdString();
    if (parser.isSet(screen)) {
        options.screen = parser.value(screen).toInt(&ok);
        if (!ok || options.screen < 0) {
            std::cerr << "quilo: --screen vuole il numero di uno schermo\n";
            exitCode = 2;
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace quilo
