#pragma once
// Paints the display form model onto any paint device: the show's window,
// the storyboard's pictures, the remote's live frames and its thumbnails.
// The 11701 x 8776 twip display area is scaled uniformly to fit the canvas
// and centred, the rest filled with the form's back colour; fonts and
// pictures scale with it. A painter, with its picture cache and fonts,
// belongs to one thread: the show's window has its own, the remote's worker
// another.

#include <QPainter>
#include <QRectF>
#include <QSize>

#include "display/DisplayForm.h"
#include "display/view/PictureCache.h"

namespace quilo {

class DisplayPainter {
  public:
    DisplayPainter();

    // The decoded pictures it paints from, to preload or to forget.
    PictureCache& pictures() { return pictures_; }

    // Paints `form` on a canvas of `canvas` pixels.
    void paint(QPainter& painter, QSize canvas, const DisplayForm& form);

    // What lies under a background caption whose opaque back covers the whole
    // area cannot be seen, and is not painted: a full-screen colour cue then
    // fills the screen once instead of three times. Tests paint everything,
    // to compare.
    void setPaintsHidden(bool paintsHidden) { paintsHidden_ = paintsHidden; }

    // The pixel rectangle the display area occupies on a canvas.
    static QRectF areaRect(QSize canvas);

    // What the cache is told of a picture drawn at `drawn` pixels on
    // `canvas`: the scaled copy to keep (empty when it is drawn from its
    // source) and the size its source must cover.
    static PictureCache::Ahead ahead(const QString& file, QSize drawn, QSize canvas);

  private:
    int coveringCaption(const DisplayForm& form) const;
    void fillBack(QPainter& painter, const QColor& back, bool areaCovered);
    void paintPane(QPainter& painter, const ImagePane& pane);
    // `withText` false paints only the label's background (its twin writes).
    void paintLabel(QPainter& painter, const Label& label, const QFont& font, bool growsWithText,
                    bool withText);
    void paintTextBox(QPainter& painter, const TextBox& box);
    QRectF toPixels(const Geometry& g) const;
    QFont scaledFont(const QFont& font) const;

    PictureCache pictures_;
    const QFont label1Font_;
    const QFont label2Font_;
    const QFont textBoxFont_;
    QSize canvas_;
    QRectF area_;
    double scale_ = 1.0;  // pixels per twip
    bool paintsHidden_ = false;
};

// Makes "Arial" and "MS Sans Serif" resolve to the installed metric-compatible
// family; call once after the application exists.
void installFontSubstitutes();

}  // namespace quilo
