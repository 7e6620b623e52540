#pragma once
// Hands a disc's sectors to the audio output and knows which sample is being
// heard: the frames handed over minus what the output says it still holds.
// The output is asked at the moment the position is wanted, so the position
// is as fresh as the audio system's own clock (the sound server interpolates
// its timing between updates), not as old as the last pump.
//
// It belongs to the CD control, which calls it under its own lock, so the
// output is never called from two threads at once; only the reading of a
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

    // The frame being heard while playing: never before where playing
    // started, never past `endFrame`, never backwards.
    std::int64_t heardFrame(std::int64_t endFrame);

    // Reads one sector into the buffer with the control's lock released; false
    // when the transport moved meanwhile and the sector must not be played.
    using SectorReader = std::function<bool(std::int32_t sector, std::uint8_t* buffer)>;
    enum class Result { Idle, Playing, Drained };
    // Hands sectors over, a few at a time, while the output takes them, up to
    // `end`. Drained: everything up to `end` has been heard.
    Result pump(bool playing, std::int32_t end, const SectorReader& read);

    // Releases the output (from the thread that pumps).
    void close();

  private:
    bool writePending();  // false while the output is full
    void measure();

    AudioOutput& output_;
    std::int32_t playHead_ = 0;      // next sector to read
    std::int64_t startFrame_ = 0;    // where the current play started
    std::int64_t handedFrames_ = 0;  // the frame after the last one the output took
    std::int64_t heardFrame_ = 0;    // the latest measure, kept from going backwards
    bool flushPending_ = false;
    bool outputOpen_ = false;
    std::vector<std::uint8_t> pending_;  // read, not yet taken by the output
    std::size_t pendingOffset_ = 0;
    // Where sectors are read with the control's lock released: only the
    // pumping thread touches it.
    std::vector<std::uint8_t> readBuffer_;
};

}  // namespace quilo
