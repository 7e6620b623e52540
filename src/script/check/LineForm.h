#pragma once
// The form of each line as the player reads it: its line end, its time (two
// digits a field, seconds to 59, no frames, no invisible mark before it), its
// letter and the characters before it, and the order of the times. A line
// whose form the player reads otherwise than its author meant gets a finding
// saying what the player will do with it.

#include <map>
#include <string>
#include <vector>

#include "script/ScriptCommand.h"
#include "script/check/CheckContext.h"

namespace quilo {

// The first words of the finding on a cue out of order; the check that plays
// the script tells which of these will run after all.
inline constexpr std::string_view kOutOfOrder = "tempo fuori ordine";

// Lines with a lone LF in a CR LF file, and a first line that is not a cue.
void checkLineEnds(CheckContext& context);
void checkFirstLine(CheckContext& context);

// A line the player takes for a comment that looks like a cue with its time
// forgotten, or with an invisible mark before its time.
void checkUntimedLine(CheckContext& context, int index);

// The time, the characters after it and those before the letter, of the cue at `index`.
void checkCueForm(CheckContext& context, int index, const CommandTraits& traits);

// Lines sharing a time, or out of order; in the file's order.
class CueOrder {
  public:
    void check(CheckContext& context, int index);

  private:
    std::map<std::int32_t, int> firstAt_;
    std::int64_t lastKey_ = -1;
};

// Cues written after the line that ends the script, which the player never
// reads: one finding, on the end line, naming the first of them.
void checkAfterEnd(CheckContext& context, const std::vector<std::string>& linesAfterEnd);

}  // namespace quilo
