#pragma once
// Encodes a show into a video file through FFmpeg's libraries: H.264 and AAC
// in MP4, or H.264 and FLAC (lossless sound) in Matroska. Frames come as
// 32-bit BGRA pictures at a fixed rate, sound as 44.1 kHz 16-bit stereo.
// Nothing of FFmpeg's own logging reaches the terminal.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;
struct SwsContext;
struct SwrContext;

namespace quilo {

class VideoWriter {
  public:
    enum class Container { Mp4, Matroska };

    VideoWriter() = default;
    ~VideoWriter();
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;

    // Opens `path` for writing; the reason in Italian when it cannot.
    std::optional<std::string> open(const std::string& path, Container container, int width,
                                    int height, int fps);
    // The next frame, `stride` bytes a row.
    bool addFrame(const std::uint8_t* bgra, int stride);
    // More sound, `frames` stereo frames.
    bool addSound(const std::int16_t* stereo, int frames);
    // Flushes the encoders and closes the file; the reason when it fails.
    std::optional<std::string> finish();

  private:
    bool send(AVCodecContext* codec, AVStream* stream, AVFrame* frame);
    bool encodeSound(bool last);
    void release();

    AVFormatContext* format_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    AVStream* videoStream_ = nullptr;
    AVStream* audioStream_ = nullptr;
    AVFrame* picture_ = nullptr;
    AVFrame* sound_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* scaler_ = nullptr;
    SwrContext* resampler_ = nullptr;
    std::vector<std::int16_t> pendingSound_;
    std::int64_t framesWritten_ = 0;
    std::int64_t samplesWritten_ = 0;
    bool fileOpen_ = false;
};

}  // namespace quilo
