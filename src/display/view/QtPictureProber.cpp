#include "display/view/QtPictureProber.h"

#include <QImageReader>

#include "display/view/PictureFile.h"

namespace quilo {

std::optional<PixelSize> QtPictureProber::pixelSize(const std::string& file) {
    const auto device = openPictureFile(QString::fromStdString(file));
    if (!device) return std::nullopt;
    QImageReader reader(device.get());
    reader.setAutoTransform(true);
    if (!reader.canRead()) return std::nullopt;
    QSize size = reader.size();
    if (!size.isValid()) {
        // Some formats tell their size only by decoding.
        const QImage image = reader.read();
        if (image.isNull()) return std::nullopt;
        return PixelSize{image.width(), image.height()};
    }
    if (reader.transformation() & QImageIOHandler::TransformationRotate90) size.transpose();
    if (size.isEmpty()) return std::nullopt;
    return PixelSize{size.width(), size.height()};
}

}  // namespace quilo
