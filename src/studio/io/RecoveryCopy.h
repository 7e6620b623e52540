#pragma once
// Unsaved edits kept aside while the studio runs, so that a crash, a kill or
// a power cut costs at most the last few seconds of work. One copy a script,
// in a folder of the user's own, found again by the script's path; written
// the way a script is saved, so that a copy is never half written.

#include <cstddef>
#include <optional>
#include <string>

namespace quilo {

class RecoveryCopy {
  public:
    // `folder`: where the copies live; `script`: the absolute path they keep.
    RecoveryCopy(std::string folder, std::string script, std::size_t limit);

    // None on success, else why not (in Italian).
    std::optional<std::string> write(const std::string& bytes) const;
    // The bytes kept for this script, when there are any.
    std::optional<std::string> read() const;
    void discard() const;

    // The user's folder for copies: $XDG_STATE_HOME/quilo/ripristino.
    static std::string defaultFolder();

  private:
    std::string file_;
    std::string script_;
    std::size_t limit_;
};

}  // namespace quilo
