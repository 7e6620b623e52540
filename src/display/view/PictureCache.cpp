#include "display/view/PictureCache.h"

#include <QImageReader>

#include "display/view/PictureFile.h"

namespace quilo {
namespace {

constexpr int kSourcesKept = 6;
constexpr int kScaledKept = 24;
// Camera photos are large even decoded at the limit (up to 64 MB each), and
// their scaled copies as large as the screen: memory is bounded in bytes too.
constexpr qint64 kSourceBytes = 320LL << 20;
constexpr qint64 kScaledBytes = 256LL << 20;

qint64 bytesOf(const QImage& image) {
    return image.sizeInBytes();
}
qint64 bytesOf(const QPixmap& pixmap) {
    return qint64(pixmap.width()) * pixmap.height() * pixmap.depth() / 8;
}

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
void PictureCache::trim(Map& map, QList<typename Map::key_type>& order, int keep, qint64 budget) {
    qint64 bytes = 0;
    for (const auto& value : map) bytes += bytesOf(value);
    // The newest always stays: it is the one being drawn.
    while (order.size() > 1 && (order.size() > keep || bytes > budget)) {
        bytes -= bytesOf(map.value(order.first()));
        map.remove(order.takeFirst());
    }
}

const QImage& PictureCache::source(const QString& file) {
    // Being decoded ahead: waiting for it is never longer than starting again.
    if (preloading_.contains(file)) collectPreloaded(file);
    auto it = sources_.find(file);
    if (it != sources_.end()) return *it;
    keep(file, decode(file, kDecodeLimit));
    return *sources_.find(file);
}

void PictureCache::keep(const QString& file, QImage image) {
    sources_.insert(file, std::move(image));
    sourceOrder_.removeAll(file);
    sourceOrder_.append(file);
    trim(sources_, sourceOrder_, kSourcesKept, kSourceBytes);
}

void PictureCache::keepScaled(const QString& key, QPixmap pixmap) {
    scaled_.insert(key, std::move(pixmap));
    scaledOrder_.removeAll(key);
    scaledOrder_.append(key);
    trim(scaled_, scaledOrder_, kScaledKept, kScaledBytes);
}

// Takes in the pictures decoded ahead that are ready, and `waitFor` whether
// ready or not.
void PictureCache::collectPreloaded(const QString& waitFor) {
    for (auto it = preloading_.begin(); it != preloading_.end();) {
        if (it.key() != waitFor &&
            it->wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            ++it;
            continue;
        }
        const Decoded& decoded = it->get();
        const QString file = it.key();
        if (!decoded.scaled.isNull())
            keepScaled(scaledKey(file, decoded.drawn), QPixmap::fromImage(decoded.scaled));
        keep(file, decoded.source);
        it = preloading_.erase(it);
    }
}

void PictureCache::preload(const QList<Ahead>& pictures) {
    collectPreloaded();
    for (const Ahead& ahead : pictures) {
        if (preloading_.size() >= kPreloadedAtMost) break;
        const QString& file = ahead.file;
        if (file.isEmpty() || sources_.contains(file) || preloading_.contains(file)) continue;
        const QSize drawn = ahead.drawn;
        preloading_.insert(file, std::async(std::launch::async, [file, drawn] {
                                     Decoded d{decode(file, kDecodeLimit), {}, drawn};
                                     if (!d.source.isNull() && !drawn.isEmpty()) {
                                         d.scaled = d.source.scaled(drawn, Qt::IgnoreAspectRatio,
                                                                    Qt::SmoothTransformation);
                                     }
                                     return d;
                                 }).share());
    }
}

void PictureCache::forget(const QString& file) {
    preloading_.remove(file);
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
    if (preloading_.contains(file)) collectPreloaded(file);
    const QString key = scaledKey(file, size);
    auto it = scaled_.find(key);
    if (it != scaled_.end()) return *it;
    const QImage& image = source(file);
    if (image.isNull()) return {};
    QPixmap pixmap =
        QPixmap::fromImage(image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    keepScaled(key, pixmap);
    return pixmap;
}

}  // namespace quilo
