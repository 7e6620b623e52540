#include "display/CaptionCover.h"

#include <algorithm>
#include <cmath>

namespace quilo {
namespace {

// The caption font (15.6 point bold) in twips: an average letter's width and
// a line's height.
constexpr double kLetterTwips = 180;
constexpr double kLineTwips = 360;
constexpr int kSamples = 24;  // per side of the text's extent

struct Box {
    double left, top, right, bottom;
    bool contains(double x, double y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

// The box the caption's wrapped text takes from the label's top-left corner.
Box textExtent(const Label& label) {
    const double width = std::max(1.0f, label.geometry.width);
    double widest = 0;
    double lines = 0;
    std::size_t start = 0;
    while (start <= label.caption.size()) {
        std::size_t end = label.caption.find_first_of("\r\n", start);
        if (end == std::string::npos) end = label.caption.size();
        const double letters = static_cast<double>(end - start);
        widest = std::max(widest, std::min(width, letters * kLetterTwips));
        lines += std::max(1.0, std::ceil(letters * kLetterTwips / width));
        start = end + 1;
        if (end + 1 < label.caption.size() && label.caption.compare(end, 2, "\r\n") == 0) ++start;
    }
    return {label.geometry.left, label.geometry.top, label.geometry.left + widest,
            label.geometry.top + lines * kLineTwips};
}

// What a picture pane shows: the part of its picture inside the pane.
Box shownBox(const ImagePane& pane) {
    const Geometry& g = pane.geometry;
    return {g.left, g.top, g.left + std::min(g.width, pane.drawWidth),
            g.top + std::min(g.height, pane.drawHeight)};
}

bool blank(const std::string& text) {
    return text.find_first_not_of(" \r\n") == std::string::npos;
}

}  // namespace

CaptionCover captionCover(const DisplayForm& form) {
    // The second caption is drawn over the first.
    const Label& label = form.Label2[1].visible ? form.Label2[1] : form.Label2[0];
    if (!label.visible || blank(label.caption)) return {};
    const Box text = textExtent(label);
    CaptionCover cover;
    int covered[2] = {0, 0};
    int inside = 0;
    for (int i = 0; i < kSamples; ++i) {
        for (int j = 0; j < kSamples; ++j) {
            const double x = text.left + (text.right - text.left) * (i + 0.5) / kSamples;
            const double y = text.top + (text.bottom - text.top) * (j + 0.5) / kSamples;
            bool under = false;
            for (int p = 0; p < 2; ++p) {
                const ImagePane& pane = form.ImgEdit[p + 1];
                if (pane.visible && pane.hasPicture() && shownBox(pane).contains(x, y)) {
                    ++covered[p];
                    under = true;
                }
            }
            inside += under;
        }
    }
    cover.share = inside / double(kSamples * kSamples);
    if (inside > 0) cover.picture = form.ImgEdit[covered[0] >= covered[1] ? 1 : 2].source;
    return cover;
}

}  // namespace quilo
