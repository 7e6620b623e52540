#include <QApplication>
#include <iostream>

#include "app/FirstRun.h"
#include "app/QuiloApp.h"
#include "app/ShowFileOpening.h"
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
    if (!quilo::openShowArgument(*options)) return 1;
    if (!quilo::offerFirstRun(*options, QCoreApplication::applicationDirPath().toStdString()))
        return 1;
    quilo::QuiloApp app(*options);
    if (const auto failure = app.start()) {
        std::cerr << "quilo: " << *failure << "\n";
        quilo::QtMessageBox().show(*failure);
        return 1;
    }
    const int code = QApplication::exec();
    if (app.chosenShow())
        return quilo::runAgainWith(arguments, QString::fromStdString(*app.chosenShow()));
    return code;
}
