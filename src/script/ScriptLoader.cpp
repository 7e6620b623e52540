#include "script/ScriptLoader.h"

#include <vector>

#include "shared/LineFormat.h"
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
    }
    return {reason, line, fill(text, path, line)};
}

bool isTerminator(const std::string& line) {
    return line.compare(0, 2, "**") == 0;
}

}  // namespace

std::optional<ScriptError> ScriptLoader::MemorizzaLetturaRiga() {
    const std::string& path = state_.scriptPath;
    const auto bytes = readWholeFile(paths_.resolve(path).string());
    if (!bytes) return refusal(ScriptError::Reason::Unreadable, path);
    return loadBytes(*bytes, path);
}

std::optional<ScriptError> ScriptLoader::loadBytes(std::string_view bytes,
                                                   const std::string& path) {
    std::vector<std::string> lines = splitTextLines(decodeTextBytes(bytes));
    if (lines.empty()) return refusal(ScriptError::Reason::Empty, path);

    // Find the terminator first, so that a refusal leaves the tables untouched.
    std::size_t count = 0;
    while (count < lines.size() && !isTerminator(lines[count])) ++count;
    if (count == lines.size()) return refusal(ScriptError::Reason::NoTerminator, path);
    ++count;  // the terminator line is stored too
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
