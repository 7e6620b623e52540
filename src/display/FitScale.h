#pragma once
// The whole scale a picture is fitted at: the first, from `start` up, at
// which the picture reaches its box in width or in height (so it may overhang
// the box by part of a scale step). The picture panes fit by it, and the
// preloading view predicts by it the size a picture will be drawn at.

#include <cmath>
#include <cstdint>

namespace quilo {

struct Fit {
    double scale = 0;        // twips per picture pixel
    std::int32_t width = 0;  // the picture's size at the last scale tried, in twips
    std::int32_t height = 0;
};

// `width` and `height` are the picture's, in pixels (more than 0); a box with
// no width or height tries no scale and gives `start` - 1.
inline Fit fitScale(int width, int height, int boxWidth, int boxHeight, double start) {
    Fit fit{start, 0, 0};
    while (fit.width < boxWidth && fit.height < boxHeight) {
        fit.width = static_cast<std::int32_t>(std::nearbyint(width * fit.scale));
        fit.height = static_cast<std::int32_t>(std::nearbyint(height * fit.scale));
        fit.scale += 1;
    }
    fit.scale -= 1;
    return fit;
}

// How far a growing picture ("Z") steps between frames: coarser when the
// time to the next line is short.
inline int growthStep(std::int32_t secondsToNext) {
    if (secondsToNext <= 7) return 10;
    if (secondsToNext <= 9) return 8;
    return 5;
}

// The scale a growing picture comes to rest at, given the scale of the frame
// that reached the box: one below it, but never larger than the picture's
// fitted size (the search from scale 1), nor below 1, so that a coarse step
// cannot leave it far past the edge and a first frame that already reaches the
// box cannot leave it with no size. A box with no room keeps the plain rule.
inline double growthRestScale(double reachedScale, int width, int height, int boxWidth,
                              int boxHeight) {
    const double fitted = fitScale(width, height, boxWidth, boxHeight, 1).scale;
    const double rest = reachedScale - 1;
    if (fitted < 1) return rest;
    return rest < 1 ? 1 : rest > fitted ? fitted : rest;
}

// The growth's resting scale, without drawing its frames.
inline double growthEndScale(int width, int height, int boxWidth, int boxHeight, int step) {
    double scale = 1;
    std::int64_t w = 0, h = 0;
    while (w < boxWidth && h < boxHeight) {
        w = std::llround(width * scale);
        h = std::llround(height * scale);
        scale += step;
    }
    return growthRestScale(scale - step, width, height, boxWidth, boxHeight);
}

}  // namespace quilo
