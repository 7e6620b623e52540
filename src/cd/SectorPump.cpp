#include "cd/SectorPump.h"

#include <algorithm>
#include <array>

#include "shared/CdPosition.h"

namespace quilo {

void SectorPump::playFrom(std::int32_t sector) {
    playHead_ = sector;
    playFrom_ = sector;
    heardFrame_ = std::int64_t{sector} * kFramesPerSector;
    pending_.clear();
    flushPending_ = true;
}

void SectorPump::stopFeeding() {
    pending_.clear();
    flushPending_ = true;
}

std::int32_t SectorPump::heardSector(std::int32_t end) const {
    const auto sector = static_cast<std::int32_t>(heardFrame_ / kFramesPerSector);
    return std::clamp(sector, playFrom_, std::max(playFrom_, end));
}

void SectorPump::close() {
    if (outputOpen_) output_.close();
    outputOpen_ = false;
    flushPending_ = true;
}

bool SectorPump::writePending() {
    if (pending_.empty()) return true;
    const std::size_t left = pending_.size() - pendingOffset_;
    const std::size_t taken = output_.write(pending_.data() + pendingOffset_, left);
    pendingOffset_ += taken;
    if (taken < left) return false;
    pending_.clear();
    pendingOffset_ = 0;
    return true;
}

SectorPump::Result SectorPump::pump(bool playing, std::int32_t end, const SectorReader& read) {
    if (!outputOpen_) outputOpen_ = output_.open();
    if (flushPending_) {
        output_.flush();
        output_.pause(!playing);
        flushPending_ = false;
    }
    if (!playing || !outputOpen_) return Result::Idle;

    std::array<std::uint8_t, kSectorBytes> buffer{};
    while (writePending() && playHead_ < end) {
        if (!read(playHead_, buffer.data())) return Result::Idle;
        pending_.assign(buffer.begin(), buffer.end());
        pendingOffset_ = 0;
        ++playHead_;
    }

    const std::int64_t handed =
        std::int64_t{playHead_ - (pending_.empty() ? 0 : 1)} * kFramesPerSector +
        static_cast<std::int64_t>(pendingOffset_ / kBytesPerFrame);
    const std::int64_t delay = output_.delayFrames();
    heardFrame_ = std::max(heardFrame_, handed - delay);  // never backwards
    const bool drained = playHead_ >= end && pending_.empty() && delay <= 0;
    return drained ? Result::Drained : Result::Playing;
}

}  // namespace quilo
