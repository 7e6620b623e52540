// Opens arbitrary bytes as a CUE sheet or a TOC image (the first byte
// chooses) next to a small raw file the sheet may name, and reads the first
// and last sector of every track it finds.
#include <array>

#include "FuzzFile.h"
#include "cd/io/DiscSources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quilo;
    if (size == 0) return 0;
    static const std::string raw = [] {
        std::array<std::uint8_t, 10 * kSectorBytes> samples{};
        return fuzzing::writeFuzzFile("a.bin", samples.data(), samples.size());
    }();
    const bool toc = data[0] & 1;
    const std::string path = fuzzing::writeFuzzFile(toc ? "d.toc" : "d.cue", data + 1, size - 1);
    std::string error;
    auto disc = openDiscSource(path, error);
    if (!disc) return 0;
    std::array<std::uint8_t, kSectorBytes> sector{};
    for (const DiscTrack& track : disc->tracks()) {
        disc->readSector(track.start, sector.data());
        disc->readSector(track.start + track.length - 1, sector.data());
    }
    return 0;
}
