#pragma once
// Decoded pictures for painting, and their scaled copies. A picture is decoded
// upright by its EXIF orientation and no larger than it is drawn (a camera's
// 24-megapixel JPEG drawn on a laptop's screen is decoded at a fraction of
// its size, through the format's own reduced decoding), so memory follows the
// screen rather than the camera; each other size it is drawn at is scaled
// once and reused, so repaints and transition frames do not rescale.
// Pictures the show will need next are decoded ahead, on threads of their
// own, so that a cue does not wait for a large photo to be decoded.

#include <QHash>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <future>

namespace quilo {

class PictureCache {
  public:
    // The picture of `file` scaled to `size` pixels; a null image when the
    // file cannot be decoded. Images rather than pixmaps: a cache may serve
    // a painter off the interface thread.
    QImage scaled(const QString& file, QSize size);

    // The decoded picture itself (null when it cannot be decoded), at least
    // as large as `atLeast` (or whole, when the file is smaller), keeping its
    // proportions; a larger request than before decodes it anew.
    const QImage& source(const QString& file, QSize atLeast);

    // Forgets a file whose picture changed on disk: it is decoded afresh.
    void forget(const QString& file);

    // A picture the show will need next, the size in pixels it will most
    // likely be drawn at (empty when not known), and the size its source is
    // to cover (as source() is asked).
    struct Ahead {
        QString file;
        QSize drawn;
        QSize atLeast;
    };
    // Starts decoding (and scaling), in the background, those not decoded yet.
    void preload(const QList<Ahead>& pictures);

    // Decodes a picture upright, at the smallest size that covers `atLeast`
    // with its own proportions, never larger than the file itself nor than
    // kDecodeLimit on either side; whole when `atLeast` is empty.
    static QImage decode(const QString& file, QSize atLeast);

    static constexpr int kDecodeLimit = 4096;
    static constexpr int kPreloadedAtMost = 2;

  private:
    struct Decoded {
        QImage source;
        QImage scaled;  // at the size the picture was preloaded for
        QSize drawn;
        QSize atLeast;
    };
    void keep(const QString& file, QImage image, QSize asked);
    static void touch(QList<QString>& order, const QString& key);
    void keepScaled(const QString& key, QImage image);
    void collectPreloaded(const QString& waitFor = {});

    struct Source {
        QImage image;
        QSize asked;  // what it was decoded to cover
    };
    static qint64 bytesOf(const Source& source) { return source.image.sizeInBytes(); }
    static qint64 bytesOf(const QImage& image) { return image.sizeInBytes(); }
    template <typename Map>
    static void trim(Map& map, QList<typename Map::key_type>& order, int keep, qint64 budget);

    QHash<QString, Source> sources_;
    QHash<QString, std::shared_future<Decoded>> preloading_;
    QList<QString> sourceOrder_;
    QHash<QString, QImage> scaled_;
    QList<QString> scaledOrder_;
};

}  // namespace quilo
