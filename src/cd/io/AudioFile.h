#pragma once
// One audio file (WAV, FLAC, OGG, MP3 through libsndfile) read as CD audio:
// 44.1 kHz, 16-bit stereo. Mono is doubled, extra channels are dropped, and a
// file at another rate is converted with libsamplerate (once, when first read).

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quilo {

class AudioFile {
  public:
    // Nothing when libsndfile cannot open the file; `error` says why.
    static std::unique_ptr<AudioFile> open(const std::string& path, std::string& error);
    ~AudioFile();
    AudioFile(const AudioFile&) = delete;
    AudioFile& operator=(const AudioFile&) = delete;

    // Length in 44.1 kHz frames.
    std::int64_t frames() const { return frames_; }
    // Fills `count` stereo frames from `first` as 16-bit little-endian PCM;
    // frames past the end are silence. False when reading failed.
    bool read(std::int64_t first, std::int64_t count, std::uint8_t* out);

  private:
    AudioFile(SNDFILE* file, SF_INFO info, std::string path);
    bool convertWhole();
    static void toStereoBytes(const short* in, int channels, std::int64_t frames,
                              std::uint8_t* out);

    SNDFILE* file_;
    SF_INFO info_;
    std::string path_;
    std::int64_t frames_;
    bool resampled_ = false;
    std::vector<std::int16_t> converted_;  // the whole file at 44.1 kHz stereo, when resampled
    std::vector<short> scratch_;
};

}  // namespace quilo
