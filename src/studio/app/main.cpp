// quilo-studio: writes and times a script against its music.
#include <QApplication>

#include "display/view/QuietQtMessages.h"
#include "studio/app/StudioCommandLine.h"

int main(int argc, char** argv) {
    quilo::StudioOptions options;
    if (const auto status = quilo::parseStudioOptions(argc, argv, options)) return *status;
    quilo::quietQtMessages();
    QApplication application(argc, argv);
    quilo::StudioApp studio(options);
    studio.start();
    return application.exec();
}
