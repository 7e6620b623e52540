#pragma once
// Forms are laid out in twips, as their models are; the widgets that draw
// them convert at the design's 96 dots per inch (15 twips a pixel).

#include <QRect>

namespace quilo {

inline int px(int twips) {
    return (twips + 7) / 15;
}
inline QRect twipRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

}  // namespace quilo
