#pragma once
// Every user file the program reads (a script, the colour file, a CUE sheet,
// a picture, a sound, a track) is opened here first. Only regular files are
// opened, and without blocking: a FIFO or a device named by mistake must
// never hang a show. Reads stop at a limit the file's format justifies.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace quilo {

enum class FileProblem { None, Missing, NotRegular, TooLarge, Unreadable };

// A read-only descriptor of `path` (links followed), or -1 with the problem.
// The caller closes it.
int openRegularFile(const std::string& path, FileProblem& problem);

// True when `path` names a regular file (links followed), without opening it.
bool isRegularFile(const std::string& path);

// Reads `path` into `bytes`, at most `limit` bytes. `enough`, when given, is
// asked after each chunk whether what was read so far is all the caller needs
// (a script read up to its last line), and reading then stops early.
// TooLarge when the file goes on past the limit and `enough` never said so.
FileProblem readRegularFile(const std::string& path, std::size_t limit, std::string& bytes,
                            const std::function<bool(std::string_view)>& enough = {});

// One Italian clause for the user: "non esiste", "non è un file regolare", ...
std::string describeProblem(FileProblem problem);

}  // namespace quilo
