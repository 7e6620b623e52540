#include "script/ScriptLoader.h"

#include <vector>

#include "shared/LineFormat.h"
#include "shared/RegularFile.h"
#include "shared/TextFile.h"
#include "shared/Utf8.h"

namespace quilo {
namespace {

std::string fill(std::string text, const std::string& path, int line = 0) {
    auto replace = [&text](const std::string& key, const std::string& value) {
        const auto at = text.find(key);
        if (at != std::string::npos) text.replace(at, key.size(), value);
    };
    replace("%2", std::to_string(line));
    replace("%1", path);
    return text;
}

ScriptError refusal(ScriptError::Reason reason, const std::string& path, int line = 0) {
    const char* text = "";
    switch (reason) {
        case ScriptError::Reason::Unreadable:
            text = "Impossibile leggere il copione: %1";
            break;
        case ScriptError::Reason::Empty:
            text = "Il copione è vuoto: %1";
            break;
        case ScriptError::Reason::NoTerminator:
            text = "Il copione non termina con una riga \"**\": %1";
            break;
        case ScriptError::Reason::TooManyLines:
            text = "Il copione supera le 2001 righe: %1";
            break;
        case ScriptError::Reason::LineTooLong:
            text = "La riga %2 del copione supera i 32767 caratteri: %1";
            break;
        case ScriptError::Reason::MixedLineEnds:
            text =
                "Il copione mescola due tipi di a capo (dalla riga %2 diversi dalla prima: "
                "Windows CR LF e Linux LF), e cos\u00EC la riga \"**\" non si trova; "
                "salvarlo con un solo tipo di a capo: %1";
            break;
    }
    return {reason, line, fill(text, path, line)};
}

// The longest script the line table can hold, at one byte a character (as a
// Windows-1252 script is). Reading stops at the terminator line, so a script
// followed by anything at all costs only what comes before its end.
constexpr std::size_t kScriptByteLimit =
    static_cast<std::size_t>(LineTable::kSize) * (kMaxLineLength + 2);

// Watches the bytes as they are read for the end of the terminator line, in
// 8-bit text or in UTF-16 with its byte-order mark, by the line rule the loader
// then applies to what was read: CR and CR LF end a line, and LF does too as
// long as no CR has come before it.
class TerminatorScanner {
  public:
    bool operator()(std::string_view bytes) {
        if (width_ == 0) {
            if (bytes.size() < 3) return false;
            start(bytes);
        }
        for (; next_ + width_ <= bytes.size(); next_ += width_) {
            const std::uint32_t unit = unitAt(bytes, next_);
            if (stars_ == 2 && (unit == '\r' || unit == '\n')) return true;
            const bool lineEnd = unit == '\r' || (unit == '\n' && (previous_ == '\r' || !sawCr_));
            sawCr_ = sawCr_ || unit == '\r';
            previous_ = unit;
            if (lineEnd) {
                stars_ = 0;
            } else if (stars_ < 2 && unit == '*') {
                ++stars_;
            } else if (stars_ < 2) {
                stars_ = 3;  // not a terminator line
            }
        }
        return false;
    }

  private:
    void start(std::string_view bytes) {
        width_ = 1;
        if (const auto bigEndian = utf16BigEndian(bytes)) {
            width_ = 2;
            bigEndian_ = *bigEndian;
            next_ = 2;
        } else if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
            next_ = 3;
        }
    }
    std::uint32_t unitAt(std::string_view bytes, std::size_t i) const {
        return width_ == 1 ? static_cast<unsigned char>(bytes[i]) : utf16Unit(bytes, i, bigEndian_);
    }

    std::size_t width_ = 0;
    bool bigEndian_ = false;
    std::size_t next_ = 0;
    int stars_ = 0;  // '*' seen at the start of this line; 3: the line is something else
    bool sawCr_ = false;
    std::uint32_t previous_ = 0;
};

}  // namespace

std::optional<ScriptError> ScriptLoader::MemorizzaLetturaRiga() {
    const std::string& path = state_.scriptPath;
    if (text_) return loadBytes(*text_, path);
    std::string bytes;
    const FileProblem problem = readRegularFile(paths_.resolve(path).string(), kScriptByteLimit,
                                                bytes, TerminatorScanner());
    if (problem != FileProblem::None) {
        ScriptError error = refusal(ScriptError::Reason::Unreadable, path);
        if (problem == FileProblem::NotRegular || problem == FileProblem::TooLarge)
            error.message += " (" + describeProblem(problem) + ")";
        return error;
    }
    return loadBytes(bytes, path);
}

std::optional<ScriptError> ScriptLoader::loadBytes(std::string_view bytes,
                                                   const std::string& path) {
    ScriptText script = readScriptText(bytes);
    if (script.empty) return refusal(ScriptError::Reason::Empty, path);
    if (script.mixedLineEndsFrom > 0)
        return refusal(ScriptError::Reason::MixedLineEnds, path, script.mixedLineEndsFrom);
    // Check everything first, so that a refusal leaves the tables untouched.
    if (script.lines.empty()) return refusal(ScriptError::Reason::NoTerminator, path);
    std::vector<std::string>& lines = script.lines;
    const std::size_t count = lines.size();  // the terminator line is stored too
    if (count > static_cast<std::size_t>(LineTable::kSize)) {
        return refusal(ScriptError::Reason::TooManyLines, path);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (utf8::length(lines[i]) > static_cast<std::size_t>(kMaxLineLength)) {
            return refusal(ScriptError::Reason::LineTooLong, path, static_cast<int>(i) + 1);
        }
    }

    int header = 1;
    for (std::size_t i = 0; i < count; ++i) {
        if (trackField(lines[i]) == 99 && header != 8) state_.headerLines[header++] = lines[i];
        state_.scriptLines.assign(static_cast<int>(i), std::move(lines[i]));
    }
    state_.lineCount = static_cast<std::int32_t>(count);
    for (int k = static_cast<int>(count); k < LineTable::kSize; ++k)
        state_.scriptLines.assign(k, " ");
    state_.currentLine = 0;
    return std::nullopt;
}

}  // namespace quilo
