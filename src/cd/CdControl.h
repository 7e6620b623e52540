#pragma once
// The CD control: a CD player with the semantics the program and its button
// bar rely on. The program drives it through the CdDevice port (open, time
// format 10, the packed position, the track table, Seek/Play/Pause/Stop) and
// is never notified; the button bar's actions are notified through events.
//
// Threads: commands, buttons and reads come from the user-interface thread;
// pump() runs on the streaming thread and is the only caller of the audio
// output. One mutex guards the state; events are emitted with it released.
//
// The position is the sector being heard, as the sector pump last measured it.

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "cd/DiscSource.h"
#include "cd/SectorPump.h"
#include "shared/AudioOutput.h"
#include "shared/CdDevice.h"

namespace quilo {

enum class CdMode { NotReady, Open, Stopped, Playing, Paused };

class CdControl : public CdDevice {
  public:
    using SourceFactory = std::function<std::unique_ptr<DiscSource>()>;
    using EventSink = std::function<void(CdEvent)>;

    CdControl(SourceFactory openSource, AudioOutput& output);

    void setEventSink(EventSink sink) { sink_ = std::move(sink); }

    // --- the program's commands (CdDevice) ---
    void command(CdCommand command) override;
    void setTimeFormat(int format) override;
    std::uint32_t position() const override;
    int tracks() const override;
    void setTrack(int track) override;
    std::uint32_t trackLength() const override;
    std::uint32_t trackPosition() const override;
    void setTo(std::int32_t target) override;

    // --- the button bar's actions, notified ---
    void buttonPrev();
    void buttonNext();
    void buttonPlay();
    void buttonPause();
    void buttonStop();
    void buttonEject();

    CdMode mode() const;
    // Shifts the position the program reads, for sound that reaches the
    // audience later (or earlier) than the audio system knows.
    void setPositionOffsetMs(double milliseconds);
    // The second the position the program reads stands in (track, minutes and
    // seconds packed as position() packs them, without the frames), and how
    // long until it enters the next (or the next track), rounded up; nothing
    // unless playing. One reading, so the two always agree.
    struct SecondAhead {
        std::uint32_t second = 0;
        std::int64_t microseconds = 0;
    };
    std::optional<SecondAhead> nextSecond() const;
    // The sector being heard (or where the device stands), for tests and tools.
    std::int32_t heardSector() const;
    // The disc's tracks as it was last read; from any thread.
    std::vector<DiscTrack> trackTable() const;
    std::int64_t heardFrame() const;  // the sample frame, counted from the disc's start

    // Sectors the disc could not give since the last call (they played as
    // silence), and where the first of them lies; nothing when there were none.
    struct ReadFailures {
        int sectors = 0;
        CdPosition first;
    };
    std::optional<ReadFailures> takeReadFailures();

    // Streaming: hands sectors to the output while it takes them and refreshes
    // the heard position. Call every few milliseconds from one thread.
    void pump();
    // Releases the audio output; call from the streaming thread when it ends.
    void closeOutput();

  private:
    void openLocked();
    void playLocked(bool notifyAtEnd);
    void haltLocked(CdMode mode);  // pause or stop at the heard position
    void seekLocked(std::int32_t sector);
    std::int64_t heardFrameLocked() const;
    std::int32_t heardLocked() const;
    std::int64_t readFrameLocked() const;  // heard, offset, within the disc
    std::int32_t trackStartLocked(int track) const;
    int trackAtLocked(std::int32_t sector) const;
    bool readyLocked() const { return mode_ != CdMode::NotReady && mode_ != CdMode::Open; }
    void raise(const std::vector<CdEvent>& events);

    SourceFactory openSource_;
    EventSink sink_;

    mutable std::mutex mutex_;
    std::unique_ptr<DiscSource> disc_;
    std::vector<DiscTrack> toc_;
    CdMode mode_ = CdMode::NotReady;
    bool trayOpen_ = false;
    int selectedTrack_ = 0;
    std::int32_t target_ = 0;
    std::int64_t offsetFrames_ = 0;

    std::int32_t standAt_ = 0;  // where the device stands when not playing
    bool notifyAtEnd_ = false;
    std::uint64_t generation_ = 0;  // changes with every jump of the play head
    int unreadSectors_ = 0;         // since takeReadFailures last looked
    std::int32_t firstUnread_ = 0;
    // Mutable: reading the position asks the output what it has played,
    // which changes nothing of the transport.
    mutable SectorPump pump_;
};

}  // namespace quilo
