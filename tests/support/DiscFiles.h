#pragma once
// Writes small test discs: three short tracks of known tones as a raw BIN with
// its CUE sheet, and the same tracks as WAV and FLAC files in a folder.

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cd/DiscSource.h"

namespace quilo::testing {

// A track of `sectors` sectors: a tone whose pitch names the track, left and
// right channels different, as 16-bit stereo samples.
inline std::vector<std::int16_t> toneTrack(int track, int sectors) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(sectors) * kFramesPerSector * 2);
    const double pitch = 220.0 * track;
    for (std::size_t f = 0; f < samples.size() / 2; ++f) {
        const double t = static_cast<double>(f) / 44100.0;
        samples[2 * f] = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * pitch * t));
        samples[2 * f + 1] = static_cast<std::int16_t>(6000 * std::sin(2 * M_PI * pitch * 1.5 * t));
    }
    return samples;
}

inline std::vector<std::uint8_t> littleEndian(const std::vector<std::int16_t>& samples) {
    std::vector<std::uint8_t> bytes(samples.size() * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(samples[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>((samples[i] >> 8) & 0xFF);
    }
    return bytes;
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Writes 16-bit stereo samples as an audio file of the given libsndfile format.
inline void writeAudio(const std::filesystem::path& path, const std::vector<std::int16_t>& samples,
                       int format, int rate = 44100) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = format;
    SNDFILE* file = sf_open(path.string().c_str(), SFM_WRITE, &info);
    sf_writef_short(file, samples.data(), static_cast<sf_count_t>(samples.size() / 2));
    sf_close(file);
}

inline std::string msf(int sectors) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", sectors / 4500, (sectors / 75) % 60,
                  sectors % 75);
    return text;
}

}  // namespace quilo::testing
