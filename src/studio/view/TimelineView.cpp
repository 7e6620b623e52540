#include "studio/view/TimelineView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "shared/CdPosition.h"

namespace quilo {
namespace {

constexpr int kRulerHeight = 22;
constexpr int kLabelHeight = 18;
constexpr double kFewestSectorsPerPixel = 75.0 / 1000;  // a second fills 1000 pixels at most
constexpr int kGrab = 5;                                // pixels either side of a marker

// A ruler step, in seconds, that leaves some 90 pixels between labels.
int rulerStep(double sectorsPerPixel) {
    const double seconds = 90 * sectorsPerPixel / kSectorsPerSecond;
    for (int step : {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1200})
        if (step >= seconds) return step;
    return 1800;
}

}  // namespace

TimelineView::TimelineView(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Linea del tempo"));
    setFocusPolicy(Qt::ClickFocus);
    setMinimumHeight(120);
    setMouseTracking(false);
}

void TimelineView::setTracks(const std::vector<DiscTrack>& tracks) {
    tracks_ = tracks;
    const std::int32_t end = tracks.empty() ? 0 : tracks.back().start + tracks.back().length;
    peaks_.assign(static_cast<std::size_t>(std::max(0, end)), 0);
    wholeDisc_ = true;
    showWholeDisc();
}

void TimelineView::showWholeDisc() {
    first_ = 0;
    sectorsPerPixel_ = width() > 0 && !peaks_.empty() ? double(peaks_.size()) / width() : 75.0;
    update();
}

void TimelineView::resizeEvent(QResizeEvent*) {
    if (wholeDisc_) showWholeDisc();
    clampView();
}

void TimelineView::addPeaks(int first, const QByteArray& values) {
    for (int i = 0; i < values.size(); ++i) {
        const auto at = static_cast<std::size_t>(first + i);
        if (at < peaks_.size()) peaks_[at] = static_cast<std::uint8_t>(values[i]);
    }
    const double from = xOf(first), to = xOf(first + values.size());
    if (to >= 0 && from <= width()) update();
}

void TimelineView::setMarkers(std::vector<TimelineMarker> markers) {
    markers_ = std::move(markers);
    update();
}

// Only the strips the playhead leaves and enters are painted again, and only
// when it moves by a pixel: at the whole disc's scale that is every few seconds.
void TimelineView::setPlayhead(std::int32_t sector, bool follow) {
    if (sector == playhead_) return;
    const int before = static_cast<int>(std::floor(xOf(playhead_)));
    playhead_ = sector;
    const double x = xOf(sector);
    if (follow && (x < 0 || x > width() * 0.9)) {
        first_ = sector - width() * 0.1 * sectorsPerPixel_;
        clampView();
        update();
        return;
    }
    const int after = static_cast<int>(std::floor(x));
    if (after == before) return;
    update(QRect(before - 2, 0, 5, height()));
    update(QRect(after - 2, 0, 5, height()));
}

void TimelineView::zoom(double factor) {
    wholeDisc_ = false;
    const double anchor = playhead_;
    const double offset = (anchor - first_) / sectorsPerPixel_;
    const double end = peaks_.empty() ? 75.0 * 60 : double(peaks_.size());
    sectorsPerPixel_ = std::clamp(sectorsPerPixel_ / factor, kFewestSectorsPerPixel,
                                  std::max(kFewestSectorsPerPixel, end / std::max(1, width())));
    first_ = anchor - offset * sectorsPerPixel_;
    clampView();
    update();
}

void TimelineView::clampView() {
    const double shown = width() * sectorsPerPixel_;
    first_ = std::clamp(first_, 0.0, std::max(0.0, double(peaks_.size()) - shown));
}

double TimelineView::xOf(std::int32_t sector) const {
    return (sector - first_) / sectorsPerPixel_;
}

std::int32_t TimelineView::sectorAt(double x) const {
    const auto sector = static_cast<std::int32_t>(std::floor(first_ + x * sectorsPerPixel_));
    return std::clamp<std::int32_t>(sector, 0, std::max<std::int32_t>(0, int(peaks_.size()) - 1));
}

int TimelineView::markerAt(double x) const {
    for (int i = 0; i < static_cast<int>(markers_.size()); ++i)
        if (std::abs(xOf(markers_[i].sector) - x) <= kGrab) return i;
    return -1;
}

QString TimelineView::rulerText(std::int32_t sector) const {
    for (std::size_t t = 0; t < tracks_.size(); ++t) {
        const DiscTrack& track = tracks_[t];
        if (sector < track.start + track.length || t + 1 == tracks_.size()) {
            const int seconds = (sector - track.start) / kSectorsPerSecond;
            return QStringLiteral("%1:%2:%3")
                .arg(t + 1, 2, 10, QLatin1Char('0'))
                .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                .arg(seconds % 60, 2, 10, QLatin1Char('0'));
        }
    }
    return {};
}

void TimelineView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.fillRect(event->rect(), QColor(30, 32, 38));
    paintWaveform(painter, event->rect().left(), event->rect().right() + 1);
    paintRuler(painter);
    paintMarkers(painter);
    const double x = xOf(playhead_);
    painter.setPen(QPen(QColor(255, 70, 60), 2));
    painter.drawLine(QPointF(x, 0), QPointF(x, height()));
}

void TimelineView::paintRuler(QPainter& painter) {
    painter.fillRect(QRect(0, 0, width(), kRulerHeight), QColor(50, 54, 62));
    painter.setPen(QColor(200, 200, 200));
    const int step = rulerStep(sectorsPerPixel_) * kSectorsPerSecond;
    double lastLabel = -1e9;  // where the last label ended: labels never overlap
    for (const DiscTrack& track : tracks_) {
        const double start = xOf(track.start);
        if (start > width() || xOf(track.start + track.length) < 0) continue;
        painter.setPen(QColor(120, 160, 220));
        painter.drawLine(QPointF(start, 0), QPointF(start, height()));
        painter.setPen(QColor(200, 200, 200));
        const std::int32_t from =
            track.start + std::max<std::int32_t>(0, sectorAt(0) - track.start) / step * step;
        for (std::int32_t s = from; s < track.start + track.length; s += step) {
            const double x = xOf(s);
            if (x > width()) break;
            painter.drawLine(QPointF(x, kRulerHeight - 6), QPointF(x, kRulerHeight));
            if (x < lastLabel) continue;
            const QString text = rulerText(s);
            painter.drawText(QPointF(x + 3, kRulerHeight - 7), text);
            lastLabel = x + 8 + painter.fontMetrics().horizontalAdvance(text);
        }
    }
}

void TimelineView::paintWaveform(QPainter& painter, int fromX, int toX) {
    const int top = kRulerHeight + kLabelHeight;
    const double middle = top + (height() - top) / 2.0;
    const double half = (height() - top) / 2.0 - 2;
    painter.setPen(QColor(90, 190, 140));
    for (int x = std::max(0, fromX); x < std::min(width(), toX); ++x) {
        const auto from = static_cast<std::size_t>(std::max(0.0, first_ + x * sectorsPerPixel_));
        const auto to =
            static_cast<std::size_t>(std::max(0.0, first_ + (x + 1) * sectorsPerPixel_));
        if (from >= peaks_.size()) break;
        int peak = 0;
        for (std::size_t s = from; s <= std::min(to, peaks_.size() - 1); ++s)
            peak = std::max<int>(peak, peaks_[s]);
        const double h = half * peak / 255.0;
        painter.drawLine(QPointF(x + 0.5, middle - h), QPointF(x + 0.5, middle + h));
    }
}

// Markers closer than a few pixels share one line over the waveform, and a
// label takes only the room until the next marker: thousands of cues leave
// the waveform readable and no label covers another.
void TimelineView::paintMarkers(QPainter& painter) {
    constexpr double kLineGap = 4, kLabelRoom = 160, kShortestLabel = 28;
    double lastLine = -1e9, lastLabel = -1e9;
    const int count = static_cast<int>(markers_.size());
    for (int i = 0; i < count; ++i) {
        const TimelineMarker& m = markers_[i];
        const double x = xOf(i == dragging_ ? dragTo_ : m.sector);
        if (x < -kLabelRoom || x > width()) continue;
        const QColor colour = m.selected ? QColor(255, 210, 60) : QColor(230, 230, 240);
        painter.setPen(QPen(colour, m.selected ? 2 : 1));
        if (m.selected || x - lastLine >= kLineGap) {
            painter.drawLine(QPointF(x, kRulerHeight), QPointF(x, height()));
            lastLine = x;
        } else {
            painter.drawLine(QPointF(x, kRulerHeight), QPointF(x, kRulerHeight + kLabelHeight));
        }
        const double next = i + 1 < count ? xOf(markers_[i + 1].sector) : x + kLabelRoom;
        const double room = std::min(kLabelRoom, next - x - 6);
        if (!m.selected && (x < lastLabel || room < kShortestLabel)) continue;
        const double width = m.selected ? std::max(room, kLabelRoom / 2) : room;
        const QString label = painter.fontMetrics().elidedText(m.label, Qt::ElideRight, int(width));
        painter.drawText(QRectF(x + 3, kRulerHeight, width, kLabelHeight), Qt::AlignVCenter, label);
        lastLabel = x + 8 + painter.fontMetrics().horizontalAdvance(label);
    }
}

void TimelineView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const double x = event->position().x();
    dragging_ = markerAt(x);
    if (dragging_ >= 0) {
        dragTo_ = markers_[dragging_].sector;
        if (onMarkerClicked) onMarkerClicked(markers_[dragging_].line);
        return;
    }
    if (onSeek) onSeek(sectorAt(x));
}

void TimelineView::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ < 0) return;
    dragTo_ = sectorAt(event->position().x());
    update();
}

void TimelineView::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_ < 0) return;
    const TimelineMarker marker = markers_[dragging_];
    dragging_ = -1;
    const std::int32_t to = sectorAt(event->position().x());
    if (std::abs(xOf(to) - xOf(marker.sector)) > 2 && onMarkerMoved) onMarkerMoved(marker.line, to);
    update();
}

void TimelineView::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (event->modifiers() & Qt::ControlModifier) {
        zoom(std::pow(1.25, steps));
    } else if (wholeDisc_) {
        return;
    } else {
        first_ -= steps * width() * 0.1 * sectorsPerPixel_;
        clampView();
        update();
    }
    event->accept();
}

}  // namespace quilo
