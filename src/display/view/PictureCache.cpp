#include "display/view/PictureCache.h"

#include <QImageReader>

#include "display/view/PictureFile.h"

namespace quilo {
namespace {

constexpr int kSourcesKept = 6;
constexpr int kScaledKept = 24;
// A camera photo drawn larger than the screen (cut at its edges) is decoded
// at that size, some 23 MB on a full-HD screen: memory is bounded in bytes
// too, with room for six, so a show that comes back to its photos decodes
// each once.
constexpr qint64 kSourceBytes = 144LL << 20;
constexpr qint64 kScaledBytes = 64LL << 20;

// Whether a picture decoded for `asked` serves a request for `atLeast`: it
// was decoded for as much, or it is already as large as it gets (whole, or
// cut short by its file's own size on some side).
bool covers(const QImage& image, QSize asked, QSize atLeast) {
    if (asked.isEmpty() || image.isNull()) return true;
    const bool whole = image.width() < asked.width() || image.height() < asked.height();
    return whole || (atLeast.width() <= asked.width() && atLeast.height() <= asked.height());
}

QString scaledKey(const QString& file, QSize size) {
    return file + QLatin1Char('\n') + QString::number(size.width()) + QLatin1Char('x') +
           QString::number(size.height());
}

}  // namespace

QImage PictureCache::decode(const QString& file, QSize atLeast) {
    const auto device = openPictureFile(file);
    if (!device) return {};
    QImageReader reader(device.get());
    reader.setAutoTransform(true);
    // The reader's size is the stored one, before the EXIF rotation.
    QSize stored = reader.size();
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    if (turned) atLeast.transpose();
    if (stored.isValid()) {
        // Same proportions as the file: larger than it on one side, on both.
        QSize target =
            atLeast.isEmpty()
                ? stored
                : stored.scaled(atLeast, Qt::KeepAspectRatioByExpanding).boundedTo(stored);
        if (target.width() > kDecodeLimit || target.height() > kDecodeLimit)
            target.scale(kDecodeLimit, kDecodeLimit, Qt::KeepAspectRatio);
        if (target != stored && !target.isEmpty()) reader.setScaledSize(target);
    }
    QImage image = reader.read();
    if (!image.isNull() && image.format() != QImage::Format_ARGB32_Premultiplied &&
        image.format() != QImage::Format_RGB32) {
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
    }
    return image;
}

// The one used last goes to the end of the order, the last to be dropped: a
// background on view all show long is used at every paint and stays.
void PictureCache::touch(QList<QString>& order, const QString& key) {
    order.removeAll(key);
    order.append(key);
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

const QImage& PictureCache::source(const QString& file, QSize atLeast) {
    // Being decoded ahead: waiting for it is never longer than starting again.
    if (preloading_.contains(file)) collectPreloaded(file);
    auto it = sources_.find(file);
    if (it != sources_.end() && covers(it->image, it->asked, atLeast)) {
        touch(sourceOrder_, file);
        return it->image;
    }
    keep(file, decode(file, atLeast), atLeast);
    return sources_.find(file)->image;
}

void PictureCache::keep(const QString& file, QImage image, QSize asked) {
    sources_.insert(file, {std::move(image), asked});
    touch(sourceOrder_, file);
    trim(sources_, sourceOrder_, kSourcesKept, kSourceBytes);
}

void PictureCache::keepScaled(const QString& key, QImage image) {
    scaled_.insert(key, std::move(image));
    touch(scaledOrder_, key);
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
        if (!decoded.scaled.isNull()) keepScaled(scaledKey(file, decoded.drawn), decoded.scaled);
        keep(file, decoded.source, decoded.atLeast);
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
        const QSize atLeast = ahead.atLeast;
        preloading_.insert(
            file, std::async(std::launch::async, [file, drawn, atLeast] {
                      Decoded d{decode(file, atLeast), {}, drawn, atLeast};
                      if (!d.source.isNull() && !drawn.isEmpty() && d.source.size() != drawn) {
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

QImage PictureCache::scaled(const QString& file, QSize size) {
    if (size.isEmpty()) return {};
    if (preloading_.contains(file)) collectPreloaded(file);
    const QString key = scaledKey(file, size);
    auto it = scaled_.find(key);
    if (it != scaled_.end()) {
        touch(scaledOrder_, key);
        return *it;
    }
    const QImage& image = source(file, size);
    if (image.isNull()) return {};
    QImage scaled = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    keepScaled(key, scaled);
    return scaled;
}

}  // namespace quilo
