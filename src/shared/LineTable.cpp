#include "shared/LineTable.h"

namespace quilo {

void LineTable::clear() {
    static const DecodedLine blank = decodeLine(" ");
    for (auto& entry : entries_) {
        entry.text = " ";
        entry.decoded = blank;
    }
}

void LineTable::assign(int index, std::string text) {
    Entry& entry = entries_.at(static_cast<std::size_t>(index));
    entry.decoded = decodeLine(text);
    entry.text = std::move(text);
}

}  // namespace quilo
