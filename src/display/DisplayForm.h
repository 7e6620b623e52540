#pragma once
// The display form as plain data: what a presentation shows, in twips on the
// 11701 x 8776 display area. Procedures change it; DisplayView only paints it.
// Control names and indices are the ones every procedure addresses.

#include <array>
#include <cstdint>
#include <string>

#include "shared/DisplayArea.h"

namespace quilo {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// A colour from components held as 16-bit values: above 255 shows as 255,
// below 0 as 0.
Rgb composeColour(int red, int green, int blue);

inline constexpr std::int16_t kTransparent = 0;
inline constexpr std::int16_t kOpaque = 1;

struct Geometry {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool operator==(const Geometry&) const = default;
};

struct Label {
    std::string caption;
    Rgb fore;
    Rgb back{192, 192, 192};
    std::int16_t backStyle = kOpaque;
    Geometry geometry;
    bool visible = true;
    bool operator==(const Label&) const = default;
};

struct TextBox {
    std::string text;  // lines separated by CR LF
    Geometry geometry;
    Rgb back{255, 192, 128};
    bool visible = true;
    bool operator==(const TextBox&) const = default;
};

struct ImagePane {
    std::string source;  // the name as the script wrote it
    std::string file;    // the file it resolved to; empty when nothing is loaded
    // Pixel size of the picture as loaded; 0 x 0 when nothing could be loaded.
    int pixelWidth = 0;
    int pixelHeight = 0;
    Geometry geometry;
    // The size the picture is drawn at: the pane's size when it was last
    // fitted. A wipe widens the pane without refitting, uncovering the picture.
    float drawWidth = 0;
    float drawHeight = 0;
    bool visible = true;

    bool hasPicture() const { return pixelWidth > 0 && pixelHeight > 0 && !file.empty(); }
    bool operator==(const ImagePane&) const = default;
};

struct DisplayForm {
    Rgb backColour{0, 0, 64};
    std::array<Label, 2> Label1;
    std::array<Label, 2> Label2;
    TextBox Text1;
    std::array<ImagePane, 5> ImgEdit;  // ImgEdit[1] to ImgEdit[4]; [0] unused
    bool visible = false;

    DisplayForm();
    bool operator==(const DisplayForm&) const = default;
};

}  // namespace quilo
