// quilo-studio: writes and times a script against its music.
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
    return application.exec();
}
