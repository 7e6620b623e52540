// Watches what a user perceives, on one clock (CLOCK_MONOTONIC):
//   cue_probe SECONDS X Y [--reference]
// records the default sink's monitor and notes the moment every click (a
// sample above half scale after a quarter second of quiet) was heard, and
// polls the screen pixel (X, Y) once a millisecond, noting every change of
// its colour. It prints one line per event: "click T" or "pixel T RRGGBB",
// T in seconds.
//
// --reference checks the harness itself: the probe plays the clicks and, in a
// window of its own at (X, Y), turns the pixel over at the moment the sound
// server says each click is heard. A perfect harness would then measure 0.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <pulse/simple.h>
#include <time.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "MonitorClicks.h"

namespace {

constexpr int kRate = 44100;
const pa_sample_spec kSpec{PA_SAMPLE_S16LE, kRate, 2};

double now() {
    return bench::monotonicNow();
}

void sleepUntil(double t) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(t);
    ts.tv_nsec = static_cast<long>((t - double(ts.tv_sec)) * 1e9);
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
}

std::mutex printLock;
void event(const char* what, double t, const char* extra = "") {
    std::lock_guard lock(printLock);
    std::printf("%s %.6f%s\n", what, t, extra);
    std::fflush(stdout);
}

void listen(double until) {
    bench::listenForClicks(until, [](double t) { event("click", t); });
}

std::uint32_t pixelAt(Display* display, Window window, int x, int y) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0xFFFFFFFF;
    const auto pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

void watch(double until, int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cue_probe: no X display\n");
        std::exit(1);
    }
    const Window root = DefaultRootWindow(display);
    std::uint32_t last = pixelAt(display, root, x, y);
    for (double next = now(); next < until; next += 0.001) {
        sleepUntil(next);
        const double before = now();
        const std::uint32_t pixel = pixelAt(display, root, x, y);
        if (pixel != last) {
            char colour[16];
            std::snprintf(colour, sizeof colour, " %06X", pixel);
            event("pixel", (before + now()) / 2, colour);
            last = pixel;
        }
    }
    XCloseDisplay(display);
}

// Plays a click every second and flips its own window's colour when the
// server says the click is heard.
void reference(double until, int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) std::exit(1);
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x - 10, y - 10,
                                              40, 40, 0, 0, BlackPixel(display, screen));
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    XChangeWindowAttributes(display, window, CWOverrideRedirect, &attributes);
    XMapRaised(display, window);
    XSync(display, False);
    const GC gc = XCreateGC(display, window, 0, nullptr);

    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = kRate / 10 * 4;  // 100 ms
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    int error = 0;
    pa_simple* out = pa_simple_new(nullptr, "cue_probe", PA_STREAM_PLAYBACK, nullptr, "clicks",
                                   &kSpec, nullptr, &attr, &error);
    if (!out) std::exit(1);
    // The window is turned over on a thread of its own, so the writes never wait.
    std::mutex lock;
    std::vector<double> flips;
    std::thread flipper([&] {
        bool white = false;
        std::size_t done = 0;
        while (now() < until) {
            double at = 0;
            {
                std::lock_guard hold(lock);
                if (done < flips.size()) at = flips[done++];
            }
            if (at == 0) {
                sleepUntil(now() + 0.0005);
                continue;
            }
            sleepUntil(at);
            white = !white;
            XSetForeground(display, gc,
                           white ? WhitePixel(display, screen) : BlackPixel(display, screen));
            XFillRectangle(display, window, gc, 0, 0, 40, 40);
            XSync(display, False);
        }
    });
    constexpr int kFrames = kRate / 100;  // 10 ms writes
    std::vector<std::int16_t> chunk(kFrames * 2);
    std::int64_t frame = 0;
    while (now() < until) {
        std::fill(chunk.begin(), chunk.end(), 0);
        int clickAt = -1;
        for (int f = 0; f < kFrames; ++f) {
            const std::int64_t inSecond = (frame + f) % kRate;
            // From the third second: the monitor's timing settles in its first.
            if (inSecond < 20 && frame + f >= 3 * kRate) {
                chunk[2 * f] = chunk[2 * f + 1] = 30000;
                if (inSecond == 0) clickAt = f;
            }
        }
        pa_simple_write(out, chunk.data(), chunk.size() * 2, &error);
        frame += kFrames;
        if (clickAt >= 0) {
            // The last frame written is heard after `latency`.
            const double latency = double(pa_simple_get_latency(out, &error)) / 1e6;
            std::lock_guard hold(lock);
            flips.push_back(now() + latency - double(kFrames - 1 - clickAt) / kRate);
        }
    }
    flipper.join();
    pa_simple_free(out);
    XCloseDisplay(display);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "uso: cue_probe SECONDI X Y [--reference]\n");
        return 2;
    }
    const double until = now() + std::atof(argv[1]);
    const int x = std::atoi(argv[2]);
    const int y = std::atoi(argv[3]);
    const bool withReference = argc > 4 && std::strcmp(argv[4], "--reference") == 0;
    std::thread ear(listen, until);
    std::thread eye(watch, until, x, y);
    std::thread player;
    if (withReference) player = std::thread(reference, until, x, y);
    ear.join();
    eye.join();
    if (player.joinable()) player.join();
    return 0;
}
