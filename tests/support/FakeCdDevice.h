#pragma once
// A CD device that the test sets by hand: a position, a track table, and a log
// of the commands it was sent.

#include <cstdint>
#include <vector>

#include "shared/CdDevice.h"
#include "shared/CdPosition.h"

namespace quilo::testing {

struct FakeTrack {
    std::uint32_t length = 0;  // packed MSF
    std::uint32_t start = 0;   // packed MSF
};

class FakeCdDevice : public CdDevice {
  public:
    void command(CdCommand c) override { commands.push_back(c); }
    void setTimeFormat(int format) override { timeFormat = format; }
    std::uint32_t position() const override { return packedPosition; }
    int tracks() const override { return static_cast<int>(table.size()); }
    void setTrack(int track) override { selectedTracks.push_back(track); }
    std::uint32_t trackLength() const override {
        return table.at(selectedTracks.back() - 1).length;
    }
    std::uint32_t trackPosition() const override {
        return table.at(selectedTracks.back() - 1).start;
    }
    void setTo(std::int32_t target) override { targets.push_back(target); }

    // Places the position at track, minutes, seconds, frames.
    void at(int track, int minutes, int seconds, int frames = 0) {
        packedPosition = CdPosition{track, minutes, seconds, frames}.packed();
    }

    std::uint32_t packedPosition = 0;
    int timeFormat = 0;
    std::vector<FakeTrack> table;
    std::vector<int> selectedTracks;
    std::vector<std::int32_t> targets;
    std::vector<CdCommand> commands;
};

}  // namespace quilo::testing
