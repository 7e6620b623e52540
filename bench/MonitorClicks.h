#pragma once
// The moments clicks were heard, from the default sink's monitor, on
// CLOCK_MONOTONIC: a click is a sample above half scale after a quarter second
// of quiet. Reads 1 ms at a time; the last frame of a read was captured the
// record stream's latency before the read returned.

#include <pulse/error.h>
#include <pulse/simple.h>
#include <time.h>

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

inline void listenForClicks(double until, const std::function<void(double)>& heard) {
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
