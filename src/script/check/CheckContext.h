#pragma once
// What every kind of check reads, and where it puts what it finds: a script
// loaded as the player loads it, the files it names, and the findings in the
// order found. Each kind of check (the line's form, the header, the files it
// names, the disc) takes one of these.

#include <string>
#include <utility>
#include <vector>

#include "script/ScriptChecker.h"
#include "shared/LineFormat.h"
#include "shared/Modulo1.h"
#include "shared/ScriptFiles.h"

namespace quilo {

inline constexpr int kLastTrack = 98;  // 99 marks the header

struct CheckContext {
    const Modulo1& state;
    const ScriptFiles& files;
    FileChecks checks;
    std::vector<Diagnostic>& found;

    void error(int index, std::string text) { found.push_back({index + 1, true, std::move(text)}); }
    void warning(int index, std::string text) {
        found.push_back({index + 1, false, std::move(text)});
    }
    const std::string& text(int index) const { return state.scriptLines[index]; }
    const DecodedLine& decoded(int index) const { return state.scriptLines.decoded(index); }
};

// A name or a piece of a line as the findings quote it.
std::string quoted(const std::string& text);
// A share as a whole percentage, rounded down.
std::string percent(double share);
// "TT:MM:SS" of a track, minutes and seconds.
std::string timeText(int track, int minutes, int seconds);

}  // namespace quilo
