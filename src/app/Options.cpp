#include "app/Options.h"

#include <QCommandLineParser>
#include <QDir>
#include <cstdio>
#include <iostream>

namespace quilo {
namespace {

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

std::optional<AppOptions> parseOptions(const QStringList& arguments, int& exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quilo: presentazioni sincronizzate con un CD audio (unità, immagine o "
                       "cartella di brani)."));
    parser.addHelpOption();
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
    parser.addOptions({root, disc, offset, screen, from});
    parser.addPositionalArgument(
        QStringLiteral("COPIONE"),
        QStringLiteral("Copione da avviare subito, come con \"Lettore\" e Play."),
        QStringLiteral("[COPIONE]"));
    if (!parser.parse(arguments)) {
        std::cerr << "quilo: " << parser.errorText().toStdString() << "\n";
        exitCode = 2;
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        // Parsed before any application object exists, so the name is put in here.
        std::cout << parser.helpText()
                         .replace(QStringLiteral("<executable_name>"), QStringLiteral("quilo"))
                         .toStdString();
        exitCode = 0;
        return std::nullopt;
    }
    AppOptions options;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        std::cerr << "quilo: un solo copione alla volta (vedi --help)\n";
        exitCode = 2;
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
