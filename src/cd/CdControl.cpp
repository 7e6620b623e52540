#include "cd/CdControl.h"

#include <algorithm>
#include <cmath>

namespace quilo {

CdControl::CdControl(SourceFactory openSource, AudioOutput& output)
    : openSource_(std::move(openSource)), pump_(output) {}

void CdControl::raise(const std::vector<CdEvent>& events) {
    if (!sink_) return;
    for (CdEvent e : events) sink_(e);
}

// ---------------------------------------------------------------- commands

void CdControl::openLocked() {
    disc_.reset();
    toc_.clear();
    pump_.requestFlush();
    ++generation_;
    if (trayOpen_) {
        mode_ = CdMode::Open;
        return;
    }
    disc_ = openSource_ ? openSource_() : nullptr;
    if (disc_) toc_ = disc_->tracks();
    if (toc_.empty()) {
        disc_.reset();
        mode_ = CdMode::NotReady;
        return;
    }
    mode_ = CdMode::Stopped;
    standAt_ = toc_.front().start;
}

void CdControl::command(CdCommand c) {
    std::lock_guard lock(mutex_);
    switch (c) {
        case CdCommand::Open:
            openLocked();
            break;
        case CdCommand::Close:
            disc_.reset();
            toc_.clear();
            mode_ = CdMode::NotReady;
            pump_.requestFlush();
            break;
        case CdCommand::Seek: {
            if (!readyLocked()) break;
            const CdPosition to = CdPosition::unpack(static_cast<std::uint32_t>(target_));
            if (to.track < 1 || to.track > static_cast<int>(toc_.size())) break;
            seekLocked(
                std::min(trackStartLocked(to.track) + to.sectorsIntoTrack(), disc_->endSector()));
            break;
        }
        case CdCommand::Play:
            if (readyLocked() && mode_ != CdMode::Playing) playLocked(false);
            break;
        case CdCommand::Pause:
            if (mode_ == CdMode::Playing) haltLocked(CdMode::Paused);
            break;
        case CdCommand::Stop:
            if (mode_ == CdMode::Playing || mode_ == CdMode::Paused) haltLocked(CdMode::Stopped);
            break;
    }
}

// Only the track/minutes/seconds/frames format is ever used; the position is
// always given in it.
void CdControl::setTimeFormat(int) {}

void CdControl::setTo(std::int32_t target) {
    std::lock_guard lock(mutex_);
    target_ = target;
}

void CdControl::setTrack(int track) {
    std::lock_guard lock(mutex_);
    selectedTrack_ = track;
}

void CdControl::seekLocked(std::int32_t sector) {
    ++generation_;
    if (mode_ == CdMode::Playing) {
        pump_.playFrom(sector);
    } else {
        standAt_ = sector;
        mode_ = CdMode::Stopped;
    }
}

void CdControl::playLocked(bool notifyAtEnd) {
    ++generation_;
    mode_ = CdMode::Playing;
    pump_.playFrom(standAt_);
    notifyAtEnd_ = notifyAtEnd;
}

void CdControl::haltLocked(CdMode mode) {
    standAt_ = heardLocked();
    mode_ = mode;
    notifyAtEnd_ = false;
    pump_.stopFeeding();
    ++generation_;
}

// ---------------------------------------------------------------- reads

std::int32_t CdControl::trackStartLocked(int track) const {
    return toc_.at(static_cast<std::size_t>(track - 1)).start;
}

int CdControl::trackAtLocked(std::int32_t sector) const {
    int track = 1;
    for (std::size_t i = 0; i < toc_.size(); ++i) {
        if (sector >= toc_[i].start) track = static_cast<int>(i) + 1;
    }
    return track;
}

std::int64_t CdControl::heardFrameLocked() const {
    if (mode_ != CdMode::Playing) return std::int64_t{standAt_} * kFramesPerSector;
    return pump_.heardFrame(std::int64_t{disc_->endSector()} * kFramesPerSector);
}

std::int32_t CdControl::heardLocked() const {
    return static_cast<std::int32_t>(heardFrameLocked() / kFramesPerSector);
}

std::int64_t CdControl::readFrameLocked() const {
    const std::int64_t end = std::int64_t{std::max(0, disc_->endSector())} * kFramesPerSector;
    return std::clamp(heardFrameLocked() + offsetFrames_, std::int64_t{0}, end);
}

std::vector<DiscTrack> CdControl::trackTable() const {
    std::lock_guard lock(mutex_);
    return toc_;
}

std::int32_t CdControl::heardSector() const {
    std::lock_guard lock(mutex_);
    return heardLocked();
}

std::int64_t CdControl::heardFrame() const {
    std::lock_guard lock(mutex_);
    return heardFrameLocked();
}

void CdControl::setPositionOffsetMs(double milliseconds) {
    std::lock_guard lock(mutex_);
    offsetFrames_ = std::llround(milliseconds * kSampleRate / 1000.0);
}

std::optional<CdControl::SecondAhead> CdControl::nextSecond() const {
    std::lock_guard lock(mutex_);
    if (mode_ != CdMode::Playing) return std::nullopt;
    const std::int64_t frame = readFrameLocked();
    const int track = trackAtLocked(static_cast<std::int32_t>(frame / kFramesPerSector));
    const std::int64_t start = std::int64_t{trackStartLocked(track)} * kFramesPerSector;
    std::int64_t frames = kSampleRate - (frame - start) % kSampleRate;
    if (track < static_cast<int>(toc_.size())) {
        const std::int64_t next = std::int64_t{trackStartLocked(track + 1)} * kFramesPerSector;
        frames = std::min(frames, next - frame);
    }
    const auto sector = static_cast<std::int32_t>(frame / kFramesPerSector);
    return SecondAhead{
        CdPosition::inTrack(track, sector - trackStartLocked(track)).packed() & kWithoutFrames,
        (frames * 1'000'000 + kSampleRate - 1) / kSampleRate};
}

std::optional<CdControl::ReadFailures> CdControl::takeReadFailures() {
    std::lock_guard lock(mutex_);
    if (unreadSectors_ == 0 || toc_.empty()) return std::nullopt;
    const int track = trackAtLocked(firstUnread_);
    const ReadFailures failures{unreadSectors_,
                                CdPosition::inTrack(track, firstUnread_ - trackStartLocked(track))};
    unreadSectors_ = 0;
    return failures;
}

CdMode CdControl::mode() const {
    std::lock_guard lock(mutex_);
    return mode_;
}

std::uint32_t CdControl::position() const {
    std::lock_guard lock(mutex_);
    if (!readyLocked()) return 0;
    const auto sector = static_cast<std::int32_t>(readFrameLocked() / kFramesPerSector);
    const int track = trackAtLocked(sector);
    return CdPosition::inTrack(track, sector - trackStartLocked(track)).packed();
}

int CdControl::tracks() const {
    std::lock_guard lock(mutex_);
    return readyLocked() ? static_cast<int>(toc_.size()) : 0;
}

std::uint32_t CdControl::trackLength() const {
    std::lock_guard lock(mutex_);
    if (!readyLocked() || selectedTrack_ < 1 || selectedTrack_ > static_cast<int>(toc_.size())) {
        return 0;
    }
    return packMsf(toc_[static_cast<std::size_t>(selectedTrack_ - 1)].length);
}

std::uint32_t CdControl::trackPosition() const {
    std::lock_guard lock(mutex_);
    if (!readyLocked() || selectedTrack_ < 1 || selectedTrack_ > static_cast<int>(toc_.size())) {
        return 0;
    }
    return packMsf(toc_[static_cast<std::size_t>(selectedTrack_ - 1)].start + kLeadInSectors);
}

// ---------------------------------------------------------------- buttons

void CdControl::buttonPlay() {
    std::vector<CdEvent> events;
    {
        std::lock_guard lock(mutex_);
        if (!readyLocked()) return;
        if (mode_ != CdMode::Playing) playLocked(true);
        events.push_back(CdEvent::PlayCompleted);
    }
    raise(events);
}

void CdControl::buttonPause() {
    std::lock_guard lock(mutex_);
    if (mode_ == CdMode::Playing) haltLocked(CdMode::Paused);
}

void CdControl::buttonStop() {
    {
        std::lock_guard lock(mutex_);
        if (!readyLocked()) return;
        if (mode_ == CdMode::Playing || mode_ == CdMode::Paused) haltLocked(CdMode::Stopped);
    }
    raise({CdEvent::Done});
}

void CdControl::buttonPrev() {
    {
        std::lock_guard lock(mutex_);
        if (!readyLocked()) return;
        const std::int32_t at = heardLocked();
        int track = trackAtLocked(at);
        // Near the start of a track, Prev goes back one more track.
        if (at - trackStartLocked(track) < kSectorsPerSecond && track > 1) --track;
        seekLocked(trackStartLocked(track));
    }
    raise({CdEvent::Done});
}

void CdControl::buttonNext() {
    {
        std::lock_guard lock(mutex_);
        if (!readyLocked()) return;
        const int track = trackAtLocked(heardLocked());
        if (track < static_cast<int>(toc_.size())) seekLocked(trackStartLocked(track + 1));
    }
    raise({CdEvent::Done});
}

void CdControl::buttonEject() {
    raise({CdEvent::EjectClick});
    {
        std::lock_guard lock(mutex_);
        if (trayOpen_) {
            trayOpen_ = false;
            openLocked();
        } else {
            trayOpen_ = true;
            openLocked();  // with the tray open: no disc, not ready
        }
    }
    raise({CdEvent::EjectCompleted});
}

// ---------------------------------------------------------------- streaming

void CdControl::closeOutput() {
    std::lock_guard lock(mutex_);
    pump_.close();
}

void CdControl::pump() {
    std::vector<CdEvent> events;
    {
        std::unique_lock lock(mutex_);
        const bool playing = mode_ == CdMode::Playing;
        const std::int32_t end = playing ? disc_->endSector() : 0;
        // The disc is read with the lock released, so that the buttons never
        // wait for a slow drive; a jump meanwhile discards the sector.
        const auto read = [&](std::int32_t sector, std::uint8_t* buffer) {
            const std::uint64_t generation = generation_;
            DiscSource* disc = disc_.get();
            lock.unlock();
            const bool read = disc->readSector(sector, buffer);
            if (!read) std::fill_n(buffer, kSectorBytes, 0);
            lock.lock();
            if (!read && unreadSectors_++ == 0) firstUnread_ = sector;
            return generation == generation_ && mode_ == CdMode::Playing;
        };
        if (pump_.pump(playing, end, read) == SectorPump::Result::Drained) {
            mode_ = CdMode::Stopped;
            standAt_ = end;
            if (notifyAtEnd_) events.push_back(CdEvent::Done);
            notifyAtEnd_ = false;
        }
    }
    raise(events);
}

}  // namespace quilo
