#pragma once
// The script's lines as the studio lists and marks them, each decoded once:
// an edit decodes again only the lines whose text it changed, so that a
// keystroke costs the same on a long script as on a short one.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "shared/LineFormat.h"
#include "studio/ScriptDocument.h"
#include "studio/ScriptEdits.h"

namespace quilo {

struct IndexedLine {
    DecodedLine decoded;
    LineParts parts;  // as a line of its own (outside any block)
    bool cue = false;
};

class LineIndex {
  public:
    // The document's lines now; lines with a text seen before keep their decoding.
    void update(const std::vector<DocumentLine>& lines);

    int size() const { return static_cast<int>(lines_.size()); }
    const IndexedLine& at(int line) const { return *lines_.at(std::size_t(line)); }
    // The cue lines, each block's own lines left out (as cueLines()).
    const std::vector<int>& cues() const { return cues_; }
    // Whether the line belongs to the block of a cue before it.
    bool inBlock(int line) const { return blockOf_.at(std::size_t(line)) >= 0; }
    // What the list shows of a line, its block taken into account.
    LineParts parts(int line, const std::string& text) const;

  private:
    int blockEnd(int first) const;

    std::unordered_map<std::string, std::shared_ptr<const IndexedLine>> byText_;
    std::vector<std::shared_ptr<const IndexedLine>> lines_;
    std::vector<int> cues_;
    std::vector<int> blockOf_;  // the cue whose block holds the line, or -1
};

}  // namespace quilo
