#pragma once
// Tells the pixel size of a picture file without decoding the picture, turned
// upright as it will be shown. Nothing when the file is missing, unreadable or
// empty. The Qt adapter reads image headers; tests use a table.

#include <optional>
#include <string>

namespace quilo {

struct PixelSize {
    int width = 0;
    int height = 0;
};

class PictureProber {
  public:
    virtual ~PictureProber() = default;
    virtual std::optional<PixelSize> pixelSize(const std::string& file) = 0;
};

}  // namespace quilo
