#pragma once
// One playback stream to the sound server, 44.1 kHz 16-bit stereo: what both
// the CD audio and the scripts' sounds go through. Two kinds: PipeWire's own
// (PipeWireStream), and PulseAudio's (PulseStream, which also reaches PipeWire
// through its PulseAudio service); makeSoundStream picks one.
//
// Every method may be called from any one thread; the pull callback runs on
// the stream's own thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace quilo {

class SoundStream {
  public:
    // Asked for up to `bytes` of sound (whole frames) on the stream's thread;
    // returns how many it wrote into `out`, 0 when the sound is over.
    using Pull = std::function<std::size_t(std::uint8_t* out, std::size_t bytes)>;

    virtual ~SoundStream() = default;

    // Connects and creates the stream, with `targetMs` of sound kept buffered.
    // With `pull`, the stream asks for its sound; without, write() pushes it.
    // False (and nothing left open) when there is no sound server.
    virtual bool open(const std::string& name, int targetMs, Pull pull = {}) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The server has gone: the stream takes nothing more and must be closed.
    virtual bool broken() const = 0;

    // Takes as many whole frames as fit now; returns the bytes taken.
    virtual std::size_t write(const std::uint8_t* data, std::size_t bytes) = 0;
    // Queues `frames` of silence whatever the room.
    virtual void writeSilence(std::int64_t frames) = 0;
    virtual void cork(bool corked) = 0;
    // Drops what is buffered and not yet heard.
    virtual void flush() = 0;
    // Frames written but not yet heard, device latency included; every frame
    // written since the last flush, cork or open until the server has said
    // the stream plays again.
    virtual std::int64_t delayFrames() = 0;
};

// Which server the streams go to.
enum class SoundServerKind { PipeWire, PulseAudio };

// PipeWire's own stream when a PipeWire server answers, else PulseAudio's;
// QUILO_AUDIO=pipewire or QUILO_AUDIO=pulseaudio forces one. Decided once a
// run, and said on the terminal when QUILO_VERBOSE is set.
SoundServerKind soundServerKind();
std::unique_ptr<SoundStream> makeSoundStream();

}  // namespace quilo
