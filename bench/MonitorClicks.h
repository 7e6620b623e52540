#pragma once
// The moments clicks were heard, from the default sink's monitor, on
// CLOCK_MONOTONIC: a click is a sample above half scale after a quarter second
// of quiet. Through PulseAudio: reads 1 ms at a time; the last frame of a read
// was captured the record stream's latency before the read returned. Under
// PipeWire (QUILO_SOUND_SERVER=pipewire, or PIPEWIRE_RUNTIME_DIR set), whose
// PulseAudio service answers latency a graph cycle at a time, the monitor is
// read through PipeWire itself: each cycle's samples were played by the sink
// from the cycle's start, less the monitor's own delay.

#include <pipewire/pipewire.h>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <spa/param/audio/format-utils.h>
#include <time.h>

#include <cstring>
#include <string_view>
#include <thread>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace bench {

inline double monotonicNow() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Finds the clicks in samples, the first of which was heard at `firstAt`.
class ClickFinder {
  public:
    explicit ClickFinder(std::function<void(double)> heard) : heard_(std::move(heard)) {}
    void look(const std::int16_t* samples, int frames, double firstAt, int rate) {
        for (int f = 0; f < frames; ++f) {
            if (samples[2 * f] > 16384 || samples[2 * f] < -16384) {
                if (quiet_ > rate / 4) heard_(firstAt + double(f) / rate);
                quiet_ = 0;
            } else {
                ++quiet_;
            }
        }
    }

  private:
    std::function<void(double)> heard_;
    std::int64_t quiet_ = 0;
};

inline bool underPipeWire() {
    const char* kind = std::getenv("QUILO_SOUND_SERVER");
    return (kind && std::string_view(kind) == "pipewire") || std::getenv("PIPEWIRE_RUNTIME_DIR");
}

inline void listenForClicksOnPipeWire(double until, const std::function<void(double)>& heard) {
    constexpr int kRate = 44100;
    struct Listener {
        pw_stream* stream = nullptr;
        ClickFinder finder;
    };
    pw_init(nullptr, nullptr);
    pw_thread_loop* loop = pw_thread_loop_new("clicks", nullptr);
    Listener listener{nullptr, ClickFinder(heard)};
    static const pw_stream_events events = [] {
        pw_stream_events e{};
        e.version = PW_VERSION_STREAM_EVENTS;
        e.process = [](void* data) {
            auto* me = static_cast<Listener*>(data);
            pw_buffer* b = pw_stream_dequeue_buffer(me->stream);
            if (!b) return;
            pw_time t{};
            pw_stream_get_time_n(me->stream, &t, sizeof t);
            const spa_data& d = b->buffer->datas[0];
            if (d.data && d.chunk) {
                const int frames = int(d.chunk->size / 4);
                const double delay =
                    double(t.delay) * t.rate.num / std::max<std::uint32_t>(t.rate.denom, 1);
                const double start = double(t.now) / 1e9 - delay;
                me->finder.look(reinterpret_cast<const std::int16_t*>(
                                    static_cast<const std::uint8_t*>(d.data) + d.chunk->offset),
                                frames, start, kRate);
            }
            pw_stream_queue_buffer(me->stream, b);
        };
        return e;
    }();
    pw_thread_loop_lock(loop);
    pw_thread_loop_start(loop);
    listener.stream =
        pw_stream_new_simple(pw_thread_loop_get_loop(loop), "quilo-bench-monitor",
                             pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY,
                                               "Capture", PW_KEY_STREAM_CAPTURE_SINK, "true",
                                               PW_KEY_NODE_LATENCY, "64/44100", nullptr),
                             &events, &listener);
    std::uint8_t buffer[512];
    spa_pod_builder builder{};
    spa_pod_builder_init(&builder, buffer, sizeof buffer);
    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_S16_LE;
    info.rate = kRate;
    info.channels = 2;
    info.position[0] = SPA_AUDIO_CHANNEL_FL;
    info.position[1] = SPA_AUDIO_CHANNEL_FR;
    const spa_pod* params[] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    pw_stream_connect(
        listener.stream, PW_DIRECTION_INPUT, PW_ID_ANY,
        static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                     PW_STREAM_FLAG_RT_PROCESS),
        params, 1);
    pw_thread_loop_unlock(loop);
    while (monotonicNow() < until) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    pw_thread_loop_lock(loop);
    pw_stream_destroy(listener.stream);
    pw_thread_loop_unlock(loop);
    pw_thread_loop_stop(loop);
    pw_thread_loop_destroy(loop);
}

inline void listenForClicks(double until, const std::function<void(double)>& heard) {
    if (underPipeWire()) return listenForClicksOnPipeWire(until, heard);
    constexpr int kRate = 44100;
    const pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, 2};
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = kRate / 1000 * 4;
    int error = 0;
    pa_simple* in = pa_simple_new(nullptr, "quilo-bench", PA_STREAM_RECORD, "@DEFAULT_MONITOR@",
                                  "monitor", &spec, nullptr, &attr, &error);
    if (!in) {
        std::fprintf(stderr, "no monitor to record: %s\n", pa_strerror(error));
        std::exit(1);
    }
    constexpr int kFrames = kRate / 1000;
    std::vector<std::int16_t> chunk(kFrames * 2);
    std::int64_t quiet = 0;
    while (monotonicNow() < until) {
        if (pa_simple_read(in, chunk.data(), chunk.size() * 2, &error) < 0) break;
        const double readAt = monotonicNow();
        const double latency = double(pa_simple_get_latency(in, &error)) / 1e6;
        for (int f = 0; f < kFrames; ++f) {
            if (chunk[2 * f] > 16384 || chunk[2 * f] < -16384) {
                if (quiet > kRate / 4) heard(readAt - latency - double(kFrames - 1 - f) / kRate);
                quiet = 0;
            } else {
                ++quiet;
            }
        }
    }
    pa_simple_free(in);
}

}  // namespace bench
