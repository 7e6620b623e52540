// How long a drive's reading path takes on an image: one second of audio (75
// sectors) read through cdparanoia's verification, against the same sectors
// read straight from the image, over a 10-minute BIN/CUE written for it.
//   paranoia_read [FOLDER]   (the image is written there; default /tmp)
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cd/io/DiscSources.h"

namespace {

using namespace quilo;
using Clock = std::chrono::steady_clock;

std::string writeImage(const std::string& folder, int sectors) {
    std::vector<char> sector(kSectorBytes);
    std::ofstream bin(folder + "/paranoia-bench.bin", std::ios::binary);
    for (int s = 0; s < sectors; ++s) {
        for (int i = 0; i < kSectorBytes; ++i)
            sector[std::size_t(i)] = char((s * 7 + i * 13) & 0xFF);
        bin.write(sector.data(), kSectorBytes);
    }
    std::ofstream(folder + "/paranoia-bench.cue")
        << "FILE \"paranoia-bench.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    return folder + "/paranoia-bench.cue";
}

// Milliseconds per second of audio read in order from the start, and after a
// seek to each of `seeks` places.
void measure(const char* name, DiscSource& disc, int sectors) {
    std::vector<std::uint8_t> out(kSectorBytes);
    const auto start = Clock::now();
    int failed = 0;
    for (int s = 0; s < sectors; ++s) failed += !disc.readSector(s, out.data());
    const double inOrder = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const auto seeking = Clock::now();
    constexpr int kSeeks = 50;
    for (int k = 0; k < kSeeks; ++k) {
        const int at = (k * 7919) % (sectors - 75);
        for (int s = at; s < at + 75; ++s) failed += !disc.readSector(s, out.data());
    }
    const double afterSeeks =
        std::chrono::duration<double, std::milli>(Clock::now() - seeking).count();
    std::printf("%s: %.2f ms a second of audio in order, %.2f ms after a seek; %d unread\n", name,
                inOrder / (sectors / 75.0), afterSeeks / kSeeks, failed);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    constexpr int kSectors = 75 * 600;
    const std::string cue = writeImage(folder, kSectors);
    std::string error;
    auto direct = openCdio(cue, error);
    auto verified = openCdio(cue, error, CdioReading::ThroughParanoia);
    if (!direct || !verified) {
        std::fprintf(stderr, "paranoia_read: %s\n", error.c_str());
        return 1;
    }
    measure("straight from the image", *direct, kSectors);
    measure("through paranoia", *verified, kSectors);
    std::remove((folder + "/paranoia-bench.bin").c_str());
    std::remove(cue.c_str());
    return 0;
}
