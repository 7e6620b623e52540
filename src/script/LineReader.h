#pragma once
// The line reader: one pass over the line table per clock tick. It reads the CD
// position, walks the table from the resume point, runs every line whose time
// stamp equals the position (once per time stamp) and records where the next
// pass starts. Lines are decoded once, when loaded; a pass only compares.

#include "cd/CdReadout.h"
#include "display/DisplayForm.h"
#include "script/ScriptCommand.h"
#include "shared/Modulo1.h"

namespace quilo {

class LineReader {
  public:
    LineReader(Modulo1& state, DisplayForm& testo1, CdReadout& cd, CommandRunner& commands)
        : state_(state), testo1_(testo1), cd_(cd), commands_(commands) {}

    void LeggiRiga();

    // Decode every examined line from its text instead of the table's cache.
    // Only for measuring and for checking that both give the same result.
    void setDecodeAfresh(bool afresh) { decodeAfresh_ = afresh; }

  private:
    const DecodedLine& lineAt(int index);
    void takeFields(const DecodedLine& line);

    Modulo1& state_;
    DisplayForm& testo1_;
    CdReadout& cd_;
    CommandRunner& commands_;
    bool decodeAfresh_ = false;
    DecodedLine scratch_;
};

}  // namespace quilo
