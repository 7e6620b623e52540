#include "cd/io/AudioFile.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "shared/AudioOutput.h"

namespace quilo {

std::unique_ptr<AudioFile> AudioFile::open(const std::string& path, std::string& error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = sf_strerror(nullptr);
        return nullptr;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        error = "no audio";
        return nullptr;
    }
    return std::unique_ptr<AudioFile>(new AudioFile(file, info, path));
}

AudioFile::AudioFile(SNDFILE* file, SF_INFO info, std::string path)
    : file_(file), info_(info), path_(std::move(path)) {
    resampled_ = info_.samplerate != kSampleRate;
    frames_ = resampled_ ? static_cast<std::int64_t>(std::ceil(static_cast<double>(info_.frames) *
                                                               kSampleRate / info_.samplerate))
                         : info_.frames;
}

AudioFile::~AudioFile() {
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

bool AudioFile::convertWhole() {
    const int channels = info_.channels;
    std::vector<float> input(static_cast<std::size_t>(info_.frames) * channels);
    sf_seek(file_, 0, SEEK_SET);
    const sf_count_t got = sf_readf_float(file_, input.data(), info_.frames);
    std::vector<float> stereo(static_cast<std::size_t>(got) * 2);
    for (sf_count_t f = 0; f < got; ++f) {
        stereo[2 * f] = input[f * channels];
        stereo[2 * f + 1] = channels > 1 ? input[f * channels + 1] : input[f * channels];
    }
    std::vector<float> output(static_cast<std::size_t>(frames_ + 16) * 2);
    SRC_DATA data{};
    data.data_in = stereo.data();
    data.input_frames = static_cast<long>(got);
    data.data_out = output.data();
    data.output_frames = static_cast<long>(frames_ + 16);
    data.src_ratio = static_cast<double>(kSampleRate) / info_.samplerate;
    if (src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 2) != 0) return false;
    converted_.assign(static_cast<std::size_t>(frames_) * 2, 0);
    const auto produced = std::min<std::int64_t>(data.output_frames_gen, frames_);
    for (std::int64_t i = 0; i < produced * 2; ++i) {
        const float v = std::clamp(output[static_cast<std::size_t>(i)], -1.0f, 1.0f);
        converted_[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lrint(v * 32767.0f));
    }
    return true;
}

bool AudioFile::read(std::int64_t first, std::int64_t count, std::uint8_t* out) {
    std::memset(out, 0, static_cast<std::size_t>(count) * kBytesPerFrame);
    if (first >= frames_ || count <= 0) return true;
    const std::int64_t available = std::min(count, frames_ - first);
    if (resampled_) {
        if (converted_.empty() && !convertWhole()) return false;
        toStereoBytes(converted_.data() + first * 2, 2, available, out);
        return true;
    }
    if (sf_seek(file_, first, SEEK_SET) < 0) return false;
    scratch_.resize(static_cast<std::size_t>(available) * info_.channels);
    const sf_count_t got = sf_readf_short(file_, scratch_.data(), available);
    if (got < 0) return false;
    toStereoBytes(scratch_.data(), info_.channels, got, out);
    return got == available;
}

}  // namespace quilo
