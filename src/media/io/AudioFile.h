#pragma once
// One audio file (WAV, FLAC, OGG, MP3 through libsndfile) read as CD audio:
// 44.1 kHz, 16-bit stereo. Mono is doubled, extra channels are dropped, and a
// file at another rate is converted with libsamplerate as it is read, a block
// at a time: memory stays small whatever the file's length or rate.

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef struct SRC_STATE_tag SRC_STATE;

namespace quilo {

class AudioFile {
  public:
    // Nothing when the file is not a regular file, cannot be decoded, or has
    // a rate the converter cannot reach 44.1 kHz from; `error` says why, in
    // Italian.
    static std::unique_ptr<AudioFile> open(const std::string& path, std::string& error);
    ~AudioFile();
    AudioFile(const AudioFile&) = delete;
    AudioFile& operator=(const AudioFile&) = delete;

    // Length in 44.1 kHz frames, at most 100 minutes (more than any disc holds).
    std::int64_t frames() const { return frames_; }
    // Fills `count` stereo frames from `first` as 16-bit little-endian PCM;
    // frames past the end are silence. False when reading failed. Reading on
    // from where the last read ended is what costs least.
    bool read(std::int64_t first, std::int64_t count, std::uint8_t* out);

    static constexpr std::int64_t kMaxFrames = std::int64_t{100} * 60 * 44100;

  private:
    AudioFile(SNDFILE* file, SF_INFO info);
    bool readConverted(std::int64_t first, std::int64_t count, std::uint8_t* out);
    bool restartConversion(std::int64_t first);
    std::int64_t convert(std::int64_t count);
    void readInputBlock();
    static void toStereoBytes(const short* in, int channels, std::int64_t frames,
                              std::uint8_t* out);

    SNDFILE* file_;
    SF_INFO info_;
    std::int64_t frames_;
    std::vector<short> scratch_;
    // Where the file's decoder stands after the last read; a read from there
    // needs no seek, which for FLAC would decode the frame again each sector.
    std::int64_t next_ = -1;
    // Conversion from another rate: the converter, its input block and the
    // output frame the next read continues from.
    SRC_STATE* converter_ = nullptr;
    std::vector<float> input_;
    std::vector<float> output_;
    std::size_t inputUsed_ = 0;
    std::size_t inputFrames_ = 0;
    bool inputEnded_ = false;
    std::int64_t nextOut_ = -1;
};

}  // namespace quilo
