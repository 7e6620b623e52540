#include <QApplication>
#include <iostream>

#include "app/FirstRun.h"
#include "app/QuiloApp.h"
#include "display/view/QuietQtMessages.h"

int main(int argc, char** argv) {
    quilo::quietQtMessages();
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    int exitCode = 0;
    auto options = quilo::parseOptions(arguments, exitCode);  // --help needs no screen
    if (!options) return exitCode;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quilo"));
    if (!quilo::offerFirstRun(*options, QCoreApplication::applicationDirPath().toStdString()))
        return 1;
    quilo::QuiloApp app(*options);
    if (const auto failure = app.start()) {
        std::cerr << "quilo: " << *failure << "\n";
        quilo::QtMessageBox().show(*failure);
        return 1;
    }
    return QApplication::exec();
}
