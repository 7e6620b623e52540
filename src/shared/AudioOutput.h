#pragma once
// Where CD audio goes: 44.1 kHz, 16-bit little-endian stereo. The CD control
// calls it one call at a time (under its lock), from the streaming thread and,
// to read the position, from the user-interface thread. What is written but
// not yet heard is the delay; the position the program reads is what has been
// heard, so the delay must be the output's own measure at the moment it is asked.

#include <cstddef>
#include <cstdint>

namespace quilo {

inline constexpr int kSampleRate = 44100;
inline constexpr int kBytesPerFrame = 4;  // 16-bit stereo

class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    virtual bool open() = 0;
    // Releases the device, on the thread that opened it.
    virtual void close() {}
    // Takes as many bytes as fit now (whole frames) and returns how many.
    virtual std::size_t write(const std::uint8_t* data, std::size_t bytes) = 0;
    virtual void pause(bool paused) = 0;
    // Drops everything written but not yet heard.
    virtual void flush() = 0;
    // Frames written but not yet heard.
    virtual std::int64_t delayFrames() = 0;
};

}  // namespace quilo
