#pragma once
// The line reader decides which script lines are due at the position being
// heard. It remembers where the last pass stopped, so a pass costs only the
// lines near the position, and the last cue time it ran, so a cue runs once
// however many ticks fall in its second. Lines are decoded once, when loaded:
// a pass, which runs a thousand times a second, only compares numbers.

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
