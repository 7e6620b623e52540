#include "studio/io/PeakReader.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <cstdlib>
#include <cstring>

#include "shared/AudioOutput.h"
#include "shared/CdPosition.h"

namespace quilo {
namespace {

// Sent in pieces of ten seconds: often enough to be seen growing.
constexpr int kPieceSectors = 10 * kSectorsPerSecond;

}  // namespace

std::uint8_t sectorPeak(const std::uint8_t* sector) {
    int peak = 0;
    for (int i = 0; i < kFramesPerSector * 2; ++i) {
        std::int16_t sample;
        std::memcpy(&sample, sector + 2 * i, 2);
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return static_cast<std::uint8_t>(std::min(255, peak >> 7));
}

PeakReader::PeakReader(OpenDisc open, QObject* parent) : QObject(parent), open_(std::move(open)) {
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

PeakReader::~PeakReader() {
    stop();
}

void PeakReader::stop() {
    stopping_ = true;
    pool_.waitForDone();
    stopping_ = false;
}

void PeakReader::start(const std::vector<DiscTrack>& tracks) {
    stop();
    auto next = std::make_shared<std::atomic<std::size_t>>(0);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    const int workers = std::max(1, std::min<int>(pool_.maxThreadCount(), int(tracks.size())));
    running_ = workers;
    for (int w = 0; w < workers; ++w) {
        pool_.start([this, tracks, next, clock] {
            auto disc = open_();
            for (std::size_t t = (*next)++; disc && t < tracks.size() && !stopping_; t = (*next)++)
                readTrack(*disc, tracks[t]);
            if (--running_ == 0) {
                const double seconds = clock->nsecsElapsed() / 1e9;
                QMetaObject::invokeMethod(
                    this, [this, seconds] { emit finished(seconds); }, Qt::QueuedConnection);
            }
        });
    }
}

void PeakReader::readTrack(DiscSource& disc, const DiscTrack& track) {
    std::vector<std::uint8_t> sector(std::size_t(kFramesPerSector) * 4);
    for (std::int32_t first = track.start; first < track.start + track.length && !stopping_;
         first += kPieceSectors) {
        const std::int32_t end = std::min(first + kPieceSectors, track.start + track.length);
        QByteArray values(end - first, '\0');
        for (std::int32_t s = first; s < end; ++s) {
            const bool read = disc.readSector(s, sector.data());
            values[s - first] = static_cast<char>(read ? sectorPeak(sector.data()) : 0);
        }
        QMetaObject::invokeMethod(
            this, [this, first, values] { emit peaks(first, values); }, Qt::QueuedConnection);
    }
}

}  // namespace quilo
