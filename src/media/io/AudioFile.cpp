#include "media/io/AudioFile.h"

#include <samplerate.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "shared/AudioOutput.h"
#include "shared/RegularFile.h"

namespace quilo {
namespace {

// libsamplerate converts by a factor of at most 256 either way.
constexpr int kLowestRate = kSampleRate / 256 + 1;
constexpr int kHighestRate = kSampleRate * 256;
constexpr std::size_t kBlockFrames = 4096;
constexpr int kMaxChannels = 64;

}  // namespace

std::unique_ptr<AudioFile> AudioFile::open(const std::string& path, std::string& error) {
    FileProblem problem = FileProblem::None;
    const int fd = openRegularFile(path, problem);
    if (fd < 0) {
        error = describeProblem(problem);
        return nullptr;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!file) {
        error = "formato audio non riconosciuto";
        return nullptr;
    }
    if (info.channels < 1 || info.channels > kMaxChannels || info.frames < 0) {
        sf_close(file);
        error = "nessun suono nel file";
        return nullptr;
    }
    if (info.samplerate < kLowestRate || info.samplerate > kHighestRate) {
        sf_close(file);
        error =
            "frequenza di campionamento non gestita (" + std::to_string(info.samplerate) + " Hz)";
        return nullptr;
    }
    return std::unique_ptr<AudioFile>(new AudioFile(file, info));
}

AudioFile::AudioFile(SNDFILE* file, SF_INFO info) : file_(file), info_(info) {
    const double frames =
        std::ceil(static_cast<double>(info_.frames) * kSampleRate / info_.samplerate);
    frames_ = static_cast<std::int64_t>(std::min(frames, static_cast<double>(kMaxFrames)));
}

AudioFile::~AudioFile() {
    if (converter_) src_delete(converter_);
    sf_close(file_);
}

void AudioFile::toStereoBytes(const short* in, int channels, std::int64_t frames,
                              std::uint8_t* out) {
    for (std::int64_t f = 0; f < frames; ++f) {
        const short left = in[f * channels];
        const short right = channels > 1 ? in[f * channels + 1] : left;
        out[4 * f + 0] = static_cast<std::uint8_t>(left & 0xFF);
        out[4 * f + 1] = static_cast<std::uint8_t>((left >> 8) & 0xFF);
        out[4 * f + 2] = static_cast<std::uint8_t>(right & 0xFF);
        out[4 * f + 3] = static_cast<std::uint8_t>((right >> 8) & 0xFF);
    }
}

// The converter starts this many output frames before a place it jumps to,
// so its filter has history there instead of a fade in from silence.
constexpr std::int64_t kPrimingFrames = 512;

bool AudioFile::restartConversion(std::int64_t first) {
    int error = 0;
    if (!converter_) converter_ = src_new(SRC_SINC_MEDIUM_QUALITY, 2, &error);
    if (!converter_ || src_reset(converter_) != 0) return false;
    const std::int64_t start = std::max<std::int64_t>(0, first - kPrimingFrames);
    const auto from =
        static_cast<sf_count_t>(static_cast<double>(start) * info_.samplerate / kSampleRate);
    if (sf_seek(file_, from, SEEK_SET) < 0) return false;
    inputUsed_ = inputFrames_ = 0;
    inputEnded_ = false;
    nextOut_ = start;
    return first == start || convert(first - start) >= 0;
}

// Converts the next `count` frames into output_; how many came (fewer at the
// file's end), or -1 when the converter failed.
std::int64_t AudioFile::convert(std::int64_t count) {
    const double ratio = static_cast<double>(kSampleRate) / info_.samplerate;
    output_.resize(static_cast<std::size_t>(count) * 2);
    std::int64_t done = 0;
    // Each round either takes input or gives output; the bound only guards
    // against a converter that does neither.
    for (int round = 0; done < count && round < 1'000'000; ++round) {
        if (inputUsed_ == inputFrames_ && !inputEnded_) readInputBlock();
        SRC_DATA data{};
        data.data_in = input_.data() + 2 * inputUsed_;
        data.input_frames = static_cast<long>(inputFrames_ - inputUsed_);
        data.data_out = output_.data() + 2 * done;
        data.output_frames = static_cast<long>(count - done);
        data.src_ratio = ratio;
        data.end_of_input = inputEnded_ ? 1 : 0;
        if (src_process(converter_, &data) != 0) return -1;
        inputUsed_ += static_cast<std::size_t>(data.input_frames_used);
        done += data.output_frames_gen;
        if (inputEnded_ && data.output_frames_gen == 0) break;  // all of it is out
    }
    nextOut_ += count;
    return done;
}

void AudioFile::readInputBlock() {
    scratch_.resize(kBlockFrames * static_cast<std::size_t>(info_.channels));
    const sf_count_t got =
        std::max<sf_count_t>(0, sf_readf_short(file_, scratch_.data(), kBlockFrames));
    input_.resize(kBlockFrames * 2);
    for (sf_count_t f = 0; f < got; ++f) {
        const short* frame = scratch_.data() + f * info_.channels;
        input_[2 * f] = frame[0] / 32768.0f;
        input_[2 * f + 1] = (info_.channels > 1 ? frame[1] : frame[0]) / 32768.0f;
    }
    inputFrames_ = static_cast<std::size_t>(got);
    inputUsed_ = 0;
    inputEnded_ = got == 0;
}

bool AudioFile::readConverted(std::int64_t first, std::int64_t count, std::uint8_t* out) {
    if (first != nextOut_ && !restartConversion(first)) return false;
    const std::int64_t done = convert(count);
    if (done < 0) return false;
    for (std::int64_t i = 0; i < done * 2; ++i) {
        const float v = std::clamp(output_[static_cast<std::size_t>(i)], -1.0f, 1.0f);
        const auto sample = static_cast<std::int16_t>(std::lrint(v * 32767.0f));
        out[2 * i] = static_cast<std::uint8_t>(sample & 0xFF);
        out[2 * i + 1] = static_cast<std::uint8_t>((sample >> 8) & 0xFF);
    }
    return true;
}

bool AudioFile::read(std::int64_t first, std::int64_t count, std::uint8_t* out) {
    std::memset(out, 0, static_cast<std::size_t>(count) * kBytesPerFrame);
    if (first >= frames_ || count <= 0) return true;
    const std::int64_t available = std::min(count, frames_ - first);
    try {
        if (info_.samplerate != kSampleRate) return readConverted(first, available, out);
        if (first != next_ && sf_seek(file_, first, SEEK_SET) < 0) {
            next_ = -1;
            return false;
        }
        scratch_.resize(static_cast<std::size_t>(available) * info_.channels);
        const sf_count_t got = sf_readf_short(file_, scratch_.data(), available);
        next_ = got < 0 ? -1 : first + got;
        if (got < 0) return false;
        toStereoBytes(scratch_.data(), info_.channels, got, out);
        return got == available;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace quilo
