#pragma once
// Hands a disc's sectors to the audio output and knows which sector is being
// heard: the frames handed over minus what the output still holds. It belongs
// to the CD control, which calls it under its own lock; only the reading of a
// sector happens outside that lock (through the function the control gives).

#include <cstdint>
#include <functional>
#include <vector>

#include "shared/AudioOutput.h"

namespace quilo {

class SectorPump {
  public:
    explicit SectorPump(AudioOutput& output) : output_(output) {}

    // Playing starts (or jumps) here: what the output holds is thrown away.
    void playFrom(std::int32_t sector);
    // Nothing more is handed over until the next playFrom.
    void stopFeeding();
    // The output is emptied (and paused or resumed) at the next pump.
    void requestFlush() { flushPending_ = true; }

    // The sector being heard, never before where playing started nor past `end`.
    std::int32_t heardSector(std::int32_t end) const;

    // Reads one sector into the buffer with the control's lock released; false
    // when the transport moved meanwhile and the sector must not be played.
    using SectorReader = std::function<bool(std::int32_t sector, std::uint8_t* buffer)>;
    enum class Result { Idle, Playing, Drained };
    // Hands sectors over while the output takes them, up to `end`, and then
    // measures what is heard. Drained: everything up to `end` has been heard.
    Result pump(bool playing, std::int32_t end, const SectorReader& read);

    // Releases the output (from the thread that pumps).
    void close();

  private:
    bool writePending();  // false while the output is full

    AudioOutput& output_;
    std::int32_t playHead_ = 0;    // next sector to hand to the output
    std::int32_t playFrom_ = 0;    // where the current play started
    std::int64_t heardFrame_ = 0;  // last measured heard frame while playing
    bool flushPending_ = false;
    bool outputOpen_ = false;
    std::vector<std::uint8_t> pending_;  // a sector not yet fully taken by the output
    std::size_t pendingOffset_ = 0;
};

}  // namespace quilo
