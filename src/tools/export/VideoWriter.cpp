#include "tools/export/VideoWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

namespace quilo {
namespace {

constexpr int kRate = 44100;

std::optional<std::string> failed(const std::string& what) {
    return "impossibile " + what;
}

}  // namespace

VideoWriter::~VideoWriter() {
    release();
}

void VideoWriter::release() {
    if (fileOpen_ && format_) avio_closep(&format_->pb);
    fileOpen_ = false;
    avcodec_free_context(&video_);
    avcodec_free_context(&audio_);
    av_frame_free(&picture_);
    av_frame_free(&sound_);
    av_packet_free(&packet_);
    sws_freeContext(scaler_);
    scaler_ = nullptr;
    swr_free(&resampler_);
    if (format_) avformat_free_context(format_);
    format_ = nullptr;
}

std::optional<std::string> VideoWriter::open(const std::string& path, Container container,
                                             int width, int height, int fps) {
    av_log_set_level(AV_LOG_QUIET);
    const bool mp4 = container == Container::Mp4;
    if (avformat_alloc_output_context2(&format_, nullptr, mp4 ? "mp4" : "matroska", path.c_str()) <
        0) {
        return failed("preparare il file video");
    }
    const AVCodec* h264 = avcodec_find_encoder(AV_CODEC_ID_H264);
    const AVCodec* sound = avcodec_find_encoder(mp4 ? AV_CODEC_ID_AAC : AV_CODEC_ID_FLAC);
    if (!h264 || !sound) return failed("trovare il codificatore H.264, AAC o FLAC");

    video_ = avcodec_alloc_context3(h264);
    video_->width = width;
    video_->height = height;
    video_->time_base = AVRational{1, fps};
    video_->framerate = AVRational{fps, 1};
    video_->pix_fmt = AV_PIX_FMT_YUV420P;
    video_->gop_size = fps * 2;
    av_opt_set(video_->priv_data, "preset", "veryfast", 0);
    av_opt_set(video_->priv_data, "crf", "20", 0);
    audio_ = avcodec_alloc_context3(sound);
    audio_->sample_rate = kRate;
    av_channel_layout_default(&audio_->ch_layout, 2);
    audio_->sample_fmt = mp4 ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S16;
    audio_->bit_rate = 192000;
    audio_->time_base = AVRational{1, kRate};
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) {
        video_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        audio_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (avcodec_open2(video_, h264, nullptr) < 0 || avcodec_open2(audio_, sound, nullptr) < 0)
        return failed("avviare i codificatori");

    videoStream_ = avformat_new_stream(format_, nullptr);
    audioStream_ = avformat_new_stream(format_, nullptr);
    if (!videoStream_ || !audioStream_) return failed("preparare il file video");
    avcodec_parameters_from_context(videoStream_->codecpar, video_);
    avcodec_parameters_from_context(audioStream_->codecpar, audio_);
    videoStream_->time_base = video_->time_base;
    audioStream_->time_base = audio_->time_base;

    picture_ = av_frame_alloc();
    picture_->format = video_->pix_fmt;
    picture_->width = width;
    picture_->height = height;
    sound_ = av_frame_alloc();
    sound_->format = audio_->sample_fmt;
    sound_->sample_rate = kRate;
    av_channel_layout_copy(&sound_->ch_layout, &audio_->ch_layout);
    sound_->nb_samples = audio_->frame_size > 0 ? audio_->frame_size : 1024;
    packet_ = av_packet_alloc();
    if (av_frame_get_buffer(picture_, 0) < 0 || av_frame_get_buffer(sound_, 0) < 0 || !packet_)
        return failed("riservare la memoria per il video");
    scaler_ = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_YUV420P,
                             SWS_BICUBIC, nullptr, nullptr, nullptr);
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (!scaler_ ||
        swr_alloc_set_opts2(&resampler_, &stereo, audio_->sample_fmt, kRate, &stereo,
                            AV_SAMPLE_FMT_S16, kRate, 0, nullptr) < 0 ||
        swr_init(resampler_) < 0) {
        return failed("preparare la conversione di immagini e suono");
    }
    if (avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return failed("scrivere " + path);
    fileOpen_ = true;
    if (avformat_write_header(format_, nullptr) < 0) return failed("scrivere " + path);
    return std::nullopt;
}

bool VideoWriter::send(AVCodecContext* codec, AVStream* stream, AVFrame* frame) {
    if (avcodec_send_frame(codec, frame) < 0) return false;
    while (true) {
        const int got = avcodec_receive_packet(codec, packet_);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
        if (got < 0) return false;
        av_packet_rescale_ts(packet_, codec->time_base, stream->time_base);
        packet_->stream_index = stream->index;
        if (av_interleaved_write_frame(format_, packet_) < 0) return false;
    }
}

bool VideoWriter::addFrame(const std::uint8_t* bgra, int stride) {
    if (av_frame_make_writable(picture_) < 0) return false;
    const std::uint8_t* planes[1] = {bgra};
    const int strides[1] = {stride};
    sws_scale(scaler_, planes, strides, 0, video_->height, picture_->data, picture_->linesize);
    picture_->pts = framesWritten_++;
    return send(video_, videoStream_, picture_);
}

bool VideoWriter::addSound(const std::int16_t* stereo, int frames) {
    pendingSound_.insert(pendingSound_.end(), stereo, stereo + std::size_t(frames) * 2);
    return encodeSound(false);
}

// Whole encoder frames from what is pending; the last one padded with silence.
bool VideoWriter::encodeSound(bool last) {
    const auto perFrame = static_cast<std::size_t>(sound_->nb_samples);
    std::size_t used = 0;
    while (pendingSound_.size() - used >= perFrame * 2 || (last && used < pendingSound_.size())) {
        std::vector<std::int16_t> chunk(perFrame * 2, 0);
        const std::size_t take = std::min(perFrame * 2, pendingSound_.size() - used);
        std::copy_n(pendingSound_.begin() + std::ptrdiff_t(used), take, chunk.begin());
        used += take;
        if (av_frame_make_writable(sound_) < 0) return false;
        const std::uint8_t* in[1] = {reinterpret_cast<const std::uint8_t*>(chunk.data())};
        if (swr_convert(resampler_, sound_->data, sound_->nb_samples, in, sound_->nb_samples) < 0)
            return false;
        sound_->pts = samplesWritten_;
        samplesWritten_ += sound_->nb_samples;
        if (!send(audio_, audioStream_, sound_)) return false;
    }
    pendingSound_.erase(pendingSound_.begin(), pendingSound_.begin() + std::ptrdiff_t(used));
    return true;
}

std::optional<std::string> VideoWriter::finish() {
    if (!fileOpen_) return failed("scrivere il video");
    const bool ok = encodeSound(true) && send(video_, videoStream_, nullptr) &&
                    send(audio_, audioStream_, nullptr) && av_write_trailer(format_) == 0;
    const bool closed = avio_closep(&format_->pb) == 0;
    fileOpen_ = false;
    if (!ok || !closed) return failed("finire di scrivere il video (disco pieno?)");
    return std::nullopt;
}

}  // namespace quilo
