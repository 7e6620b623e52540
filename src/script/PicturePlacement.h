#pragma once
// Where each picture letter puts its picture and the smallest scale it draws
// it at. The picture commands place pictures by it, and the script checker
// warns by it about pictures too large to fit, so the two always agree.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "display/DisplayForm.h"
#include "display/FitScale.h"
#include "shared/NumericField.h"
#include "shared/PictureProber.h"

namespace quilo {

struct PicturePlacement {
    float left = 0;         // the pane's left edge, in twips
    int smallestScale = 4;  // twips per picture pixel, before fitting
};

inline constexpr float kThirdLeft = 11701.0f / 3.0f;      // 3900.33
inline constexpr float kTwoThirdsLeft = 23402.0f / 3.0f;  // 7800.67

// "M", "A" and "Z" fill the display from its left edge; "F" and "R" take its
// right two thirds and its right third, at half the smallest scale.
inline PicturePlacement picturePlacement(std::string_view letter) {
    if (letter == "F") return {kThirdLeft, 2};
    if (letter == "R") return {kTwoThirdsLeft, 2};
    return {0, 4};
}

// The box a letter fits its picture to, in twips: the display's width from
// the pane's left edge, less what a background picture narrower than the
// display leaves out, by the height of the background's caption.
inline std::int16_t pictureBoxWidth(std::string_view letter, std::int16_t captionWidth) {
    if (letter != "F" && letter != "R") return captionWidth;
    const float full = kDisplayWidth - picturePlacement(letter).left;
    return roundToInt16(full - (kDisplayWidth - captionWidth));
}

// The scale, in twips per pixel, a letter draws a picture of `width` x
// `height` pixels at, as the picture commands fit it: the first whole scale
// from the letter's smallest one at which it reaches its box (the caption
// area given), never below 2; a "Z" with time to grow comes to rest by its
// growth step instead.
inline double drawnScale(std::string_view letter, int width, int height, int captionWidth,
                         int captionHeight, int secondsToNext) {
    if (letter == "Z" && secondsToNext >= 7)
        return growthEndScale(width, height, captionWidth, captionHeight,
                              growthStep(secondsToNext));
    const auto boxWidth = pictureBoxWidth(letter, static_cast<std::int16_t>(captionWidth));
    const double scale =
        fitScale(width, height, boxWidth, captionHeight, picturePlacement(letter).smallestScale)
            .scale;
    return std::max(scale, 2.0);
}

// What share of a picture drawn at `left`, `top` with the given size in twips
// lies on the display, across and down (1: all of it).
struct ShownShare {
    double across = 1;
    double down = 1;
};
inline ShownShare shownShare(double left, double top, double width, double height) {
    auto share = [](double room, double size) {
        return size <= 0 ? 1.0 : std::clamp(room / size, 0.0, 1.0);
    };
    return {share(kDisplayWidth - left, width), share(kDisplayHeight - top, height)};
}

// A picture is cut, for the checker, when more than 1 % of it runs past an
// edge: a whole scale step can carry any picture a little past it.
inline bool visiblyCut(const ShownShare& shown) {
    constexpr double kWhole = 0.99;
    return shown.across < kWhole || shown.down < kWhole;
}

// The largest picture with the proportions of `width` x `height`, no taller
// than `tallest` pixels, that `scaleOf(w, h)` draws inside the display from
// `left` (to within a pixel of a full-HD screen); 0 x 0 when none is.
template <class ScaleOf>
PixelSize largestWithinDisplay(int width, int height, double left, ScaleOf scaleOf,
                               int tallest = kDisplayHeight) {
    constexpr double kSlack = 8;  // twips: under a pixel of a 1440-pixel-wide display area
    for (int h = tallest; h >= 1; --h) {
        const int w = static_cast<int>(std::lround(static_cast<double>(h) * width / height));
        if (w < 1) break;
        const double scale = scaleOf(w, h);
        if (left + w * scale <= kDisplayWidth + kSlack && h * scale <= kDisplayHeight + kSlack)
            return {w, h};
    }
    return {0, 0};
}

// The largest picture of these proportions the letter shows whole. A growing
// "Z" starts from 1 twip a pixel and would show a picture as many pixels as
// the display has twips whole: it is asked for half the display's height at
// most, which is already more than any show needs.
inline PixelSize largestWholeLike(std::string_view letter, int width, int height, int captionWidth,
                                  int captionHeight, int secondsToNext) {
    const bool grows = letter == "Z" && secondsToNext >= 7;
    return largestWithinDisplay(
        width, height, picturePlacement(letter).left,
        [&](int w, int h) {
            return drawnScale(letter, w, h, captionWidth, captionHeight, secondsToNext);
        },
        grows ? kDisplayHeight / 2 : kDisplayHeight);
}

// The scale a background picture is drawn at: the first whole scale from 2
// at which it reaches the display, never below 3. The area it covers is the
// caption area, which pictures are fitted to.
inline double backgroundScale(int width, int height) {
    return std::max(fitScale(width, height, kDisplayWidth, kDisplayHeight, 2).scale, 3.0);
}

inline PixelSize largestWholeBackgroundLike(int width, int height) {
    return largestWithinDisplay(width, height, 0, backgroundScale);
}

}  // namespace quilo
