#pragma once
// The CD device as the program drives it: open it, read the packed position and
// the track table, and send the transport commands. The real device (a drive,
// an image or a folder of tracks with sound) and the tests' recording fake both
// stand behind this port. Commands never report failure to the program.

#include <cstdint>

namespace quilo {

enum class CdCommand { Open, Close, Seek, Play, Pause, Stop };

inline constexpr int kTimeFormatTmsf = 10;

// What the device's own buttons report back: a play, stop or track jump
// finished (Done), the play button pressed, and the two halves of an eject.
enum class CdEvent { Done, EjectClick, EjectCompleted, PlayCompleted };

class CdDevice {
  public:
    virtual ~CdDevice() = default;

    virtual void command(CdCommand command) = 0;
    virtual void setTimeFormat(int format) = 0;

    // Packed TMSF: track, minutes, seconds, frames from the lowest byte up.
    virtual std::uint32_t position() const = 0;
    virtual int tracks() const = 0;
    virtual void setTrack(int track) = 0;
    // Packed MSF of the selected track: minutes, seconds, frames from the lowest byte.
    virtual std::uint32_t trackLength() const = 0;
    // Start of the selected track on the disc, packed MSF, counting the disc's
    // 2-second lead-in offset.
    virtual std::uint32_t trackPosition() const = 0;
    // Target of the next "Seek"; in time format 10 a bare n is the start of track n.
    virtual void setTo(std::int32_t target) = 0;
};

}  // namespace quilo
