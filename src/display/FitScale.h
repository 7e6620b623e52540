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

}  // namespace quilo
