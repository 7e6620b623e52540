#pragma once
// Qt and the image libraries under it speak to the terminal in English about
// things the program already reports in Italian (a picture that cannot be
// read, a window manager without a feature). Their debug, info and warning
// lines are dropped; QUILO_QT_MESSAGES=1 lets them through for diagnosis.

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace quilo {

inline void quietQtMessages() {
    const char* keep = std::getenv("QUILO_QT_MESSAGES");
    if (keep && *keep == '1') return;
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) return;
        std::fprintf(stderr, "quilo: %s\n", text.toLocal8Bit().constData());
    });
}

}  // namespace quilo
