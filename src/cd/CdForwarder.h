#pragma once
// A CD device that hands everything to another: a base for the tools that
// watch what the show asks of the CD, overriding only what they watch.

#include "shared/CdDevice.h"

namespace quilo {

class CdForwarder : public CdDevice {
  public:
    explicit CdForwarder(CdDevice& cd) : cd_(cd) {}
    void command(CdCommand c) override { cd_.command(c); }
    void setTimeFormat(int f) override { cd_.setTimeFormat(f); }
    std::uint32_t position() const override { return cd_.position(); }
    int tracks() const override { return cd_.tracks(); }
    void setTrack(int t) override { cd_.setTrack(t); }
    std::uint32_t trackLength() const override { return cd_.trackLength(); }
    std::uint32_t trackPosition() const override { return cd_.trackPosition(); }
    void setTo(std::int32_t t) override { cd_.setTo(t); }

  private:
    CdDevice& cd_;
};

}  // namespace quilo
