#pragma once
// Writes a file so that a failure never leaves it half written: the bytes go
// to a new file beside it, are flushed to the disk, and only then replace it.
// The first replacement of a session keeps the old file once as NAME.bak. A
// file replaced keeps its permissions; a read-only one is refused.

#include <optional>
#include <string>

namespace quilo {

// None on success; otherwise why not, in Italian, with the file unchanged.
std::optional<std::string> writeReplacing(const std::string& path, const std::string& bytes,
                                          bool keepBackup);

}  // namespace quilo
