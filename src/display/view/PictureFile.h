#pragma once
// Opens a picture for Qt's image readers only when it is a regular file, so a
// FIFO or a device named in a script never blocks the display.

#include <QFile>
#include <QString>
#include <memory>

#include "shared/RegularFile.h"

namespace quilo {

inline std::unique_ptr<QFile> openPictureFile(const QString& file) {
    FileProblem problem = FileProblem::None;
    const int fd = openRegularFile(file.toStdString(), problem);
    if (fd < 0) return nullptr;
    auto device = std::make_unique<QFile>();
    if (!device->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return nullptr;
    return device;
}

}  // namespace quilo
