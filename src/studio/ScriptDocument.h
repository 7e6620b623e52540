#pragma once
// A script as the studio edits it: its lines as the player reads them, each
// with the bytes it had in the file, so that saving writes back every line not
// edited byte for byte, in the file's own encoding and line ends, and leaves
// the notes after the "**" line untouched. Only edited and new lines are
// encoded again.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quilo {

enum class TextEncoding { Windows1252, Utf8, Utf8WithMark, Utf16Le, Utf16Be };

struct DocumentLine {
    std::string text;  // UTF-8, as the player reads the line
    std::string raw;   // the line's bytes in the file (without its end), while not edited
    std::string end;   // the line's end as the file has it, in its encoding; empty for none
    bool edited = false;
    bool fresh = false;  // not from the file: always written anew
    bool operator==(const DocumentLine&) const = default;
};

class ScriptDocument {
  public:
    // The lines up to the terminator line (or all, for a script without one)
    // by the player's line rules; what follows the terminator line is notes.
    static ScriptDocument fromBytes(std::string_view bytes);
    // A new script's document: no lines yet.
    static ScriptDocument empty(TextEncoding encoding, bool crLf);

    const std::vector<DocumentLine>& lines() const { return lines_; }
    int lineCount() const { return static_cast<int>(lines_.size()); }
    const std::string& text(int line) const { return lines_.at(std::size_t(line)).text; }
    TextEncoding encoding() const { return encoding_; }
    // The notes after the terminator line, as text, one entry a line.
    std::vector<std::string> noteLines() const;
    // Whether a line beginning "**" ends the script.
    bool terminated() const;

    // Whether every line of the script is plain ASCII (no mark, not UTF-16).
    bool isAscii() const;
    // An all-ASCII script reads alike as UTF-8 and as Windows-1252: it keeps
    // the encoding it was made or first opened with, for the new lines.
    void keepEncoding(TextEncoding encoding);

    // Edits. A line given its own text again stays as it was in the file.
    void setText(int line, std::string text);
    void insert(int before, std::string text);
    void remove(int line);

    // The first line whose text the encoding cannot write, or none.
    std::optional<int> firstUnwritable() const;
    // From now on the file is UTF-8 (without a mark): every line is written
    // anew. The notes after the terminator line are nobody's to read: their
    // bytes stay as they are.
    void convertToUtf8();
    // The file's bytes. Lines the encoding cannot write lose those
    // characters: check firstUnwritable() first.
    std::string bytes() const;
    // The script part as UTF-8 lines ending in CR LF, the way the loader and
    // the checker take it from a file.
    std::string scriptBytes() const;

  private:
    std::string encode(std::string_view text) const;
    std::string decode(std::string_view raw) const;
    std::string lineEnd() const;  // for a new line: the file's own

    TextEncoding encoding_ = TextEncoding::Windows1252;
    std::string mark_;      // the byte-order mark the file starts with
    std::string notes_;     // raw bytes after the terminator line's end
    std::string usualEnd_;  // the first line end of the file, raw; CR LF when none
    std::vector<DocumentLine> lines_;
};

}  // namespace quilo
