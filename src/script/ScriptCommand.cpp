#include "script/ScriptCommand.h"

namespace quilo {

const CommandTraits& traitsFor(std::string_view letter) {
    for (const CommandTraits& traits : kCommandTraits) {
        if (traits.letter == letter) return traits;
    }
    return kPlainCaptionTraits;
}

}  // namespace quilo
