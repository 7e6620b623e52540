#include "studio/LineIndex.h"

#include "script/ScriptCommand.h"

namespace quilo {

void LineIndex::update(const std::vector<DocumentLine>& lines) {
    std::unordered_map<std::string, std::shared_ptr<const IndexedLine>> seen;
    seen.reserve(lines.size());
    lines_.clear();
    lines_.reserve(lines.size());
    for (const DocumentLine& line : lines) {
        auto& entry = seen[line.text];
        if (!entry) {
            const auto before = byText_.find(line.text);
            if (before != byText_.end()) {
                entry = before->second;
            } else {
                auto made = std::make_shared<IndexedLine>();
                made->decoded = decodeLine(line.text);
                made->parts = lineParts(line.text, false);
                made->cue = made->decoded.track >= 1 && made->decoded.track <= 98;
                entry = std::move(made);
            }
        }
        lines_.push_back(entry);
    }
    byText_ = std::move(seen);
    cues_.clear();
    blockOf_.assign(lines_.size(), -1);
    for (int i = 0; i < size(); ++i) {
        if (at(i).parts.kind == LineParts::Kind::Terminator) break;
        if (!at(i).cue) continue;
        cues_.push_back(i);
        const int last = blockEnd(i);
        for (int k = i + 1; k <= last; ++k) blockOf_[std::size_t(k)] = i;
        i = last;
    }
}

// As blockEnd() on the texts: the line closing the block, or the line itself.
int LineIndex::blockEnd(int first) const {
    const std::string_view closing = traitsFor(at(first).decoded.commandLetter).closedBy;
    if (closing.empty()) return first;
    for (int k = first + 1; k < size(); ++k)
        if (at(k).decoded.commandLetter == closing) return k;
    return first;
}

LineParts LineIndex::parts(int line, const std::string& text) const {
    if (!inBlock(line) || at(line).parts.kind == LineParts::Kind::Terminator) return at(line).parts;
    LineParts block;
    block.kind = LineParts::Kind::BlockLine;
    block.body = text;
    return block;
}

}  // namespace quilo
