#pragma once
// Turns the paths that scripts and the chooser write Windows-style
// ("C:\Allegato\nuovo.txt", "immagini\foto.JPG") into files on this system.
// A drive letter stands for the data root folder, backslashes separate folders,
// a relative name is taken from the script's folder, and a component that does
// not exist as written is matched without regard to case, as the files were
// made on a system whose names ignore case.

#include <filesystem>
#include <string_view>

namespace quilo {

class PathResolver {
  public:
    explicit PathResolver(std::filesystem::path root) : root_(std::move(root)) {}

    const std::filesystem::path& root() const { return root_; }

    // `relativeTo` is the folder a relative name is taken from (the current
    // directory when empty). The result names an existing file whenever one
    // matches; otherwise it is the literal translation.
    std::filesystem::path resolve(std::string_view written,
                                  const std::filesystem::path& relativeTo = {}) const;

  private:
    std::filesystem::path root_;
};

}  // namespace quilo
