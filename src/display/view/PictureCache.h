#pragma once
// Decoded pictures for painting, and their scaled copies. A picture is decoded
// once, upright by its EXIF orientation and, when far larger than any screen,
// at a reduced size so memory stays bounded; each size it is drawn at is
// scaled once and reused, so repaints and transition frames do not rescale.

#include <QHash>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace quilo {

class PictureCache {
  public:
    // The picture of `file` scaled to `size` pixels; a null pixmap when the
    // file cannot be decoded.
    QPixmap scaled(const QString& file, QSize size);

    // The decoded picture itself (null when it cannot be decoded).
    const QImage& source(const QString& file);

    // Forgets a file whose picture changed on disk: it is decoded afresh.
    void forget(const QString& file);

    // Decodes a picture upright, no side larger than `limit` pixels.
    static QImage decode(const QString& file, int limit);

    static constexpr int kDecodeLimit = 4096;

  private:
    template <typename Map>
    static void trim(Map& map, QList<typename Map::key_type>& order, int keep);

    QHash<QString, QImage> sources_;
    QList<QString> sourceOrder_;
    QHash<QString, QPixmap> scaled_;
    QList<QString> scaledOrder_;
};

}  // namespace quilo
