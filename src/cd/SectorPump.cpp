#include "cd/SectorPump.h"

#include <algorithm>

#include "shared/CdPosition.h"

namespace quilo {
namespace {

// Sectors read ahead of one write: a tenth of a second, so the output is
// called a few times a second rather than once a sector.
constexpr std::int32_t kSectorsPerWrite = 8;

}  // namespace

void SectorPump::playFrom(std::int32_t sector) {
    playHead_ = sector;
    startFrame_ = std::int64_t{sector} * kFramesPerSector;
    handedFrames_ = startFrame_;
    heardFrame_ = startFrame_;
    pending_.clear();
    pendingOffset_ = 0;
    flushPending_ = true;
}

void SectorPump::stopFeeding() {
    pending_.clear();
    pendingOffset_ = 0;
    flushPending_ = true;
}

void SectorPump::measure() {
    // Until the flush has reached the output, nothing of the new play is heard.
    if (flushPending_ || !outputOpen_) return;
    heardFrame_ = std::max(heardFrame_, handedFrames_ - output_.delayFrames());
}

std::int64_t SectorPump::heardFrame(std::int64_t endFrame) {
    measure();
    return std::clamp(heardFrame_, startFrame_, std::max(startFrame_, endFrame));
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
    handedFrames_ += static_cast<std::int64_t>(taken / kBytesPerFrame);
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

    while (writePending() && playHead_ < end) {
        const std::int32_t count = std::min(kSectorsPerWrite, end - playHead_);
        readBuffer_.resize(static_cast<std::size_t>(count) * kSectorBytes);
        for (std::int32_t i = 0; i < count; ++i) {
            if (!read(playHead_ + i, readBuffer_.data() + std::size_t(i) * kSectorBytes)) {
                return Result::Idle;
            }
        }
        pending_.swap(readBuffer_);
        pendingOffset_ = 0;
        playHead_ += count;
    }

    measure();
    const bool drained = playHead_ >= end && pending_.empty() && output_.delayFrames() <= 0;
    return drained ? Result::Drained : Result::Playing;
}

}  // namespace quilo
