#include "app/Options.h"

#include <QCommandLineParser>
#include <QDir>
#include <iostream>

namespace quilo {

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
        QStringLiteral("Millisecondi aggiunti alla posizione seguita dal copione "
                       "(negativo per uscite audio in ritardo)."),
        QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption screen(
        QStringLiteral("screen"),
        QStringLiteral("Schermo della finestra di presentazione (0, 1, ...)."),
        QStringLiteral("N"));
    parser.addOptions({root, disc, offset, screen});
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
