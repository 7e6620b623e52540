#include "script/ScriptCommand.h"

#include "shared/LineFormat.h"

namespace quilo {

const CommandTraits& traitsFor(std::string_view letter) {
    for (const CommandTraits& traits : kCommandTraits) {
        if (traits.letter == letter) return traits;
    }
    return kPlainCaptionTraits;
}

std::string commandBody(std::string_view line) {
    switch (traitsFor(decodeLine(line).commandLetter).body) {
        case LineBody::TextAndNumber:
            return colouredTextBody(line).text;
        case LineBody::BeforeLetter:
            return nameBody(line);
        case LineBody::WholeText:
            return plainTextBody(line);
        case LineBody::None:
            break;
    }
    return {};
}

}  // namespace quilo
