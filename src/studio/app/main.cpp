// quilo-studio: writes and times a script against its music.
#include <unistd.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "display/view/QuietQtMessages.h"
#include "studio/app/StudioCommandLine.h"

int main(int argc, char** argv) {
    quilo::StudioOptions options;
    if (const auto status = quilo::parseStudioOptions(argc, argv, options)) return *status;
    quilo::quietQtMessages();
    QApplication application(argc, argv);
    // Qt's own dialogs (files, colours) in Italian, when the translations are there.
    QTranslator qtItalian;
    if (qtItalian.load(QStringLiteral("qtbase_it"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtItalian);
    quilo::StudioApp studio(options);
    studio.endOnSignals();
    studio.start();
    const int code = application.exec();
    if (!studio.chosenShow()) return code;
    // Started again on the show file chosen in "Apri…".
    std::string program = QCoreApplication::applicationFilePath().toStdString();
    std::string show = *studio.chosenShow();
    char* again[] = {program.data(), show.data(), nullptr};
    ::execv(program.c_str(), again);
    return 1;
}
