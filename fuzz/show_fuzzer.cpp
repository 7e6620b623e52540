// Opens arbitrary bytes as a show file: reads its list and, when the list
// is believed, unpacks every member into a folder of its own, which is then
// removed. Whatever the bytes, nothing may be written outside that folder.
#include <filesystem>

#include "FuzzFile.h"
#include "bundle/io/BundleReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quilo;
    const std::string path = fuzzing::writeFuzzFile("s.quilo", data, size);
    std::string error;
    const auto manifest = readShowManifest(path, error);
    if (!manifest) return 0;
    const auto folder = fuzzing::fuzzFolder() / "aperto";
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::filesystem::create_directories(folder, ec);
    readShowMembers(path, *manifest, folder.string(), error);
    std::filesystem::remove_all(folder, ec);
    return 0;
}
