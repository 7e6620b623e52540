#pragma once
// Reads a disc's sound into its waveform's peaks, off the interface thread:
// one peak (0-255) for every sector, track by track on as many worker
// threads as there are cores, each through a disc source of its own. Peaks
// arrive in pieces so that the timeline draws them as they come.

#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "cd/DiscSource.h"

namespace quilo {

class PeakReader : public QObject {
    Q_OBJECT
  public:
    using OpenDisc = std::function<std::unique_ptr<DiscSource>()>;
    explicit PeakReader(OpenDisc open, QObject* parent = nullptr);
    ~PeakReader() override;

    // Starts reading every track; peaks() arrive on this object's thread.
    void start(const std::vector<DiscTrack>& tracks);
    // Stops as soon as the workers notice; waits for them.
    void stop();

  signals:
    // Peaks of sectors `first` onwards (disc sectors), one byte each.
    void peaks(int first, QByteArray values);
    void finished(double seconds);

  private:
    void readTrack(DiscSource& disc, const DiscTrack& track);

    OpenDisc open_;
    QThreadPool pool_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> running_{0};
};

// The peak of one sector of 16-bit stereo samples, 0 to 255.
std::uint8_t sectorPeak(const std::uint8_t* sector);

}  // namespace quilo
