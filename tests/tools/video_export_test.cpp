// A show exported as video, decoded again with the same libraries: each cue's
// colour shows in the first frame at or after the click that starts its
// second, and an export that cannot finish leaves no file.
#include "tools/export/VideoExport.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <sstream>

#include "cd/ClickDisc.h"
#include "shared/AudioOutput.h"
#include "support/DiscFiles.h"
#include "support/DisplayFakes.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using namespace quilo::testing;

struct Decoded {
    std::vector<std::int16_t> left;                     // every sample of the left channel
    std::vector<double> clicks;                         // seconds
    std::vector<std::pair<double, std::uint8_t>> reds;  // frame time, red of the middle pixel
};

// Reads the file back: the clicks in its sound and the colour of every frame.
Decoded decode(const std::string& path) {
    Decoded out;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return out;
    avformat_find_stream_info(format, nullptr);
    std::vector<AVCodecContext*> codecs(format->nb_streams, nullptr);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodec* codec = avcodec_find_decoder(format->streams[i]->codecpar->codec_id);
        codecs[i] = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(codecs[i], format->streams[i]->codecpar);
        avcodec_open2(codecs[i], codec, nullptr);
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    bool quiet = true;
    const auto drain = [&](unsigned stream) {
        while (avcodec_receive_frame(codecs[stream], frame) == 0) {
            const double at = double(frame->pts) * av_q2d(format->streams[stream]->time_base);
            if (codecs[stream]->codec_type == AVMEDIA_TYPE_VIDEO) {
                // Y of the middle pixel, then red from it and the chroma planes' middle.
                const int x = frame->width / 2, y = frame->height / 2;
                const double Y = frame->data[0][y * frame->linesize[0] + x];
                const double V = frame->data[2][(y / 2) * frame->linesize[2] + x / 2];
                const double red = std::clamp(1.164 * (Y - 16) + 1.596 * (V - 128), 0.0, 255.0);
                out.reds.push_back({at, static_cast<std::uint8_t>(red)});
            } else {
                if (frame->format != AV_SAMPLE_FMT_S16) continue;  // only the lossless file's
                const auto* left = reinterpret_cast<const std::int16_t*>(frame->data[0]);
                for (int i = 0; i < frame->nb_samples; ++i) {
                    out.left.push_back(left[i * 2]);
                    const bool loud = left[i * 2] > 16384;
                    if (loud && quiet) out.clicks.push_back(at + double(i) / kSampleRate);
                    quiet = !loud;
                }
            }
        }
    };
    while (av_read_frame(format, packet) == 0) {
        const auto stream = static_cast<unsigned>(packet->stream_index);
        avcodec_send_packet(codecs[stream], packet);
        av_packet_unref(packet);
        drain(stream);
    }
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        avcodec_send_packet(codecs[i], nullptr);
        drain(i);
        avcodec_free_context(&codecs[i]);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&format);
    return out;
}

class VideoExportTest : public ::testing::Test {
  protected:
    VideoExportTest() {
        root.write("Quilo 1.0/colori.txt", "0\r\n0\r\n0\r\n255\r\n255\r\n255\r\n");
        // Red at odd seconds, blue at even ones, from 0:01 to 0:06; a tenth of
        // a second of a steady sound at 0:07.
        std::string script;
        for (int s = 1; s <= 6; ++s) {
            script += "01:00:0" + std::to_string(s) + " ." + (s % 2 ? "12" : "09") + "B\r\n";
        }
        options.script =
            root.write("Allegato/clic.txt", script + "01:00:07tono.wavW\r\n**\r\n").string();
        writeAudio(root.path() / "Allegato" / "tono.wav", std::vector<std::int16_t>(8820, 1000),
                   SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        options.root = root.path().string();
        options.disc = [] { return std::make_unique<ClickDisc>(8); };
        options.size = QSize(64, 48);
    }
    TempDir root;
    ExportOptions options;
    FakePictureProber pictures;
    std::ostringstream err;
};

// Also: the lossless file's sound is the disc's, sample for sample, with the
// script's sound mixed in at its moment, and it lasts as long as the show.
TEST_F(VideoExportTest, ShowsEachCueInTheFirstFrameAfterItsClickInTheLosslessFile) {
    options.output = (root.path() / "clic.mkv").string();
    options.container = VideoWriter::Container::Matroska;
    ASSERT_EQ(exportVideo(options, pictures, err), 0) << err.str();
    const Decoded video = decode(options.output);
    ASSERT_GE(video.left.size(), std::size_t(8 * kSampleRate));
    int wrong = 0;
    for (std::size_t n = 0; n < std::size_t(8 * kSampleRate); ++n) {
        const int disc = ClickDisc::sampleAt(std::int64_t(n));
        const bool withTone =
            n > std::size_t(7 * kSampleRate) + 44 && n < std::size_t(7 * kSampleRate) + 4410;
        wrong += video.left[n] != std::min(32767, disc + (withTone ? 1000 : 0));
    }
    EXPECT_LT(wrong, 90) << err.str();  // only the millisecond where the sound begins may differ
    EXPECT_NEAR(video.reds.back().first + 1.0 / options.fps, 8.0, 1.0 / options.fps);
    ASSERT_GE(video.clicks.size(), 7u);  // the disc's very first sample is a click too
    ASSERT_GE(video.reds.size(), 30u * 6);
    const double period = 1.0 / options.fps;
    for (int s = 1; s <= 6; ++s) {
        const double click = video.clicks[std::size_t(s)];
        EXPECT_NEAR(click, double(s), 0.002);  // the disc starts with the video
        const bool red = s % 2 == 1;
        // The first frame showing this cue's colour.
        double shown = -1;
        for (const auto& [at, level] : video.reds) {
            if (at >= click - period && (level > 128) == red) {
                shown = at;
                break;
            }
        }
        // Matroska keeps times to the millisecond.
        EXPECT_GE(shown, click - 0.0015) << "cue " << s << " early";
        EXPECT_LT(shown, click + period + 0.0015) << "cue " << s << " late";
    }
}

TEST_F(VideoExportTest, WritesAnMp4StartsWhereAskedAndRefusesAScriptThePlayerWouldRefuse) {
    options.output = (root.path() / "clic.mp4").string();
    ASSERT_EQ(exportVideo(options, pictures, err), 0) << err.str();
    EXPECT_GE(decode(options.output).reds.size(), 30u * 6);

    options.from = CdPosition{1, 0, 5, 0};  // red since 0:05, as if played from the start
    options.output = (root.path() / "da5.mp4").string();
    ASSERT_EQ(exportVideo(options, pictures, err), 0) << err.str();
    const Decoded late = decode(options.output);
    ASSERT_FALSE(late.reds.empty());
    EXPECT_GT(late.reds.front().second, 128);
    EXPECT_NEAR(late.reds.back().first, 3.0, 0.1);  // to the disc's end at 0:08

    options.script = root.write("Allegato/aperto.txt", "01:00:01 .12B\r\n").string();
    options.output = (root.path() / "aperto.mp4").string();
    EXPECT_EQ(exportVideo(options, pictures, err), 1);
    EXPECT_NE(err.str().find("**"), std::string::npos);
}

}  // namespace
}  // namespace quilo
