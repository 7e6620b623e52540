#include "display/DisplayForm.h"

#include <algorithm>

namespace quilo {
namespace {

std::uint8_t component(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

}  // namespace

Rgb composeColour(int red, int green, int blue) {
    return {component(red), component(green), component(blue)};
}

DisplayForm::DisplayForm() {
    Text1.geometry = {240, 3360, 5535, 855};
    ImgEdit[3].geometry = {12000, 0, 4575, 3255};
    ImgEdit[1].geometry = {12000, 0, 1815, 1335};
    ImgEdit[2].geometry = {12000, 0, 1815, 1335};
    ImgEdit[4].geometry = {12000, 0, 2895, 2295};
    for (auto& label : Label1) {
        label.geometry = {0, 0, 4815, 360};
        label.backStyle = kTransparent;
    }
    Label2[1].geometry = {0, 0, 1575, 1215};
    Label2[0].geometry = {0, 0, 2055, 1215};
}

}  // namespace quilo
