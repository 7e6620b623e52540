#pragma once
// Where each picture letter puts its picture and the smallest scale it draws
// it at. The picture commands place pictures by it, and the script checker
// warns by it about pictures too large to fit, so the two always agree.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "display/DisplayForm.h"
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

// The largest picture, in pixels, that the letter shows whole: a larger one
// is drawn at the smallest scale all the same and runs off the display's
// right or bottom edge, so that only its top-left part is seen.
inline PixelSize largestWholePicture(std::string_view letter) {
    const PicturePlacement p = picturePlacement(letter);
    return {static_cast<int>(std::floor((kDisplayWidth - p.left) / p.smallestScale)),
            kDisplayHeight / p.smallestScale};
}

}  // namespace quilo
