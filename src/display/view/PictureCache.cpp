#include "display/view/PictureCache.h"

#include <QImageReader>

#include "display/view/PictureFile.h"

namespace quilo {
namespace {

constexpr int kSourcesKept = 6;
constexpr int kScaledKept = 24;

QString scaledKey(const QString& file, QSize size) {
    return file + QLatin1Char('\n') + QString::number(size.width()) + QLatin1Char('x') +
           QString::number(size.height());
}

}  // namespace

QImage PictureCache::decode(const QString& file, int limit) {
    const auto device = openPictureFile(file);
    if (!device) return {};
    QImageReader reader(device.get());
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isValid() && (stored.width() > limit || stored.height() > limit)) {
        // Decode at reduced size (the reader's size is before EXIF rotation;
        // the bound holds either way).
        reader.setScaledSize(stored.scaled(limit, limit, Qt::KeepAspectRatio));
    }
    QImage image = reader.read();
    if (!image.isNull() && image.format() != QImage::Format_ARGB32_Premultiplied &&
        image.format() != QImage::Format_RGB32) {
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
    }
    return image;
}

template <typename Map>
void PictureCache::trim(Map& map, QList<typename Map::key_type>& order, int keep) {
    while (order.size() > keep) map.remove(order.takeFirst());
}

const QImage& PictureCache::source(const QString& file) {
    auto it = sources_.find(file);
    if (it == sources_.end()) {
        it = sources_.insert(file, decode(file, kDecodeLimit));
        sourceOrder_.append(file);
        trim(sources_, sourceOrder_, kSourcesKept);
        it = sources_.find(file);
    }
    return *it;
}

void PictureCache::forget(const QString& file) {
    sources_.remove(file);
    sourceOrder_.removeAll(file);
    const QString prefix = file + QLatin1Char('\n');
    for (auto it = scaledOrder_.begin(); it != scaledOrder_.end();) {
        if (it->startsWith(prefix)) {
            scaled_.remove(*it);
            it = scaledOrder_.erase(it);
        } else {
            ++it;
        }
    }
}

QPixmap PictureCache::scaled(const QString& file, QSize size) {
    if (size.isEmpty()) return {};
    const QString key = scaledKey(file, size);
    auto it = scaled_.find(key);
    if (it != scaled_.end()) return *it;
    const QImage& image = source(file);
    if (image.isNull()) return {};
    QPixmap pixmap =
        QPixmap::fromImage(image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    scaled_.insert(key, pixmap);
    scaledOrder_.append(key);
    trim(scaled_, scaledOrder_, kScaledKept);
    return pixmap;
}

}  // namespace quilo
