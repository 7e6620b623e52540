#pragma once
// Pixel sizes of picture files from their headers, through Qt's image readers
// (BMP, JPEG, PNG, GIF, TIFF), turned upright by their EXIF orientation.

#include "shared/PictureProber.h"

namespace quilo {

class QtPictureProber : public PictureProber {
  public:
    std::optional<PixelSize> pixelSize(const std::string& file) override;
};

}  // namespace quilo
