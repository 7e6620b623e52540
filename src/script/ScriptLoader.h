#pragma once
// Reads the whole script named by `scriptPath` into the line table and the
// header entries (MemorizzaLetturaRiga). A script that breaks the table's
// limits is refused with a message for the user, and the tables are then left
// exactly as the caller cleared them.

#include <optional>
#include <string>

#include "shared/Modulo1.h"
#include "shared/PathResolver.h"

namespace quilo {

inline constexpr int kMaxLineLength = 32767;

struct ScriptError {
    enum class Reason { Unreadable, Empty, NoTerminator, TooManyLines, LineTooLong, MixedLineEnds };
    Reason reason;
    int line = 0;         // 1-based, for LineTooLong and MixedLineEnds
    std::string message;  // the text shown to the user
};

class ScriptLoader {
  public:
    ScriptLoader(Modulo1& state, const PathResolver& paths) : state_(state), paths_(paths) {}

    [[nodiscard]] std::optional<ScriptError> MemorizzaLetturaRiga();
    // Bytes to read instead of the file `scriptPath` names (a script being
    // edited and not yet saved); none: the file.
    void useText(std::optional<std::string> bytes) { text_ = std::move(bytes); }
    const std::optional<std::string>& text() const { return text_; }
    // The same from bytes already read; `path` names the script in messages.
    [[nodiscard]] std::optional<ScriptError> loadBytes(std::string_view bytes,
                                                       const std::string& path);

  private:
    Modulo1& state_;
    const PathResolver& paths_;
    std::optional<std::string> text_;
};

}  // namespace quilo
