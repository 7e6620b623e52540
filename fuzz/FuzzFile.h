#pragma once
// The file fuzzers hand their input to the program as a file, since that is
// how the program meets it: one private folder per process, one file in it.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace quilo::fuzzing {

inline std::filesystem::path fuzzFolder() {
    static const std::filesystem::path folder = [] {
        auto path =
            std::filesystem::temp_directory_path() / ("quilo-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

inline std::string writeFuzzFile(const std::string& name, const std::uint8_t* data,
                                 std::size_t size) {
    const auto path = fuzzFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path.string();
}

}  // namespace quilo::fuzzing
