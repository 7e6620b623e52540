#include "display/CaptionPairs.h"

namespace quilo {
namespace {

bool onView(const ImagePane& pane) {
    return pane.visible && pane.hasPicture();
}

// Labels with different text or place are two captions, and both write.
PairText oneWrites(const std::array<Label, 2>& pair, bool secondWrites) {
    const Label& a = pair[0];
    const Label& b = pair[1];
    const bool twins = a.visible && b.visible && a.caption == b.caption &&
                       a.geometry.left == b.geometry.left && a.geometry.top == b.geometry.top;
    if (!twins) return {};
    return {!secondWrites, secondWrites};
}

}  // namespace

PairText pictureCaptionText(const DisplayForm& form) {
    return oneWrites(form.Label1, onView(form.ImgEdit[2]) && !onView(form.ImgEdit[1]));
}

PairText backgroundCaptionText(const DisplayForm& form) {
    return oneWrites(form.Label2, onView(form.ImgEdit[4]) || !onView(form.ImgEdit[3]));
}

}  // namespace quilo
