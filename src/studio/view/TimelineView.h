#pragma once
// The disc as a waveform along a ruler of track, minutes and seconds, with
// the script's cues as markers at their seconds and the heard position as the
// playhead. It paints what it is given and reports clicks, drags and zooms;
// what they do is decided elsewhere.

#include <QWidget>
#include <functional>
#include <vector>

#include "cd/DiscSource.h"

namespace quilo {

struct TimelineMarker {
    std::int32_t sector = 0;  // on the disc
    QString label;            // letter and the start of the text
    int line = 0;             // the script line, 0-based
    bool selected = false;
};

class TimelineView : public QWidget {
    Q_OBJECT
  public:
    explicit TimelineView(QWidget* parent = nullptr);

    void setTracks(const std::vector<DiscTrack>& tracks);
    void addPeaks(int first, const QByteArray& values);
    void setMarkers(std::vector<TimelineMarker> markers);
    void setPlayhead(std::int32_t sector, bool follow);
    // Wider or narrower by a factor, around the playhead.
    void zoom(double factor);

    std::function<void(std::int32_t sector)> onSeek;
    std::function<void(int line, std::int32_t sector)> onMarkerMoved;
    std::function<void(int line)> onMarkerClicked;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QSize sizeHint() const override { return {800, 160}; }

  private:
    double xOf(std::int32_t sector) const;
    std::int32_t sectorAt(double x) const;
    int markerAt(double x) const;
    void clampView();
    void showWholeDisc();
    void paintRuler(QPainter& painter);
    void paintWaveform(QPainter& painter, int fromX, int toX);
    void paintMarkers(QPainter& painter);
    QString rulerText(std::int32_t sector) const;

    std::vector<DiscTrack> tracks_;
    std::vector<std::uint8_t> peaks_;
    std::vector<TimelineMarker> markers_;
    std::int32_t playhead_ = 0;
    double first_ = 0;               // the sector at the left edge
    double sectorsPerPixel_ = 75.0;  // one second a pixel
    int dragging_ = -1;              // the marker being dragged, by index
    bool wholeDisc_ = true;          // showing the whole disc, until zoomed
    std::int32_t dragTo_ = 0;
};

}  // namespace quilo
