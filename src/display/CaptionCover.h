#pragma once
// Whether the caption on view lies under a picture. Captions are drawn
// beneath the picture panes, so a caption set while a picture is shown cannot
// be read; the script checker warns about it by playing the script.

#include <string>

#include "display/DisplayForm.h"

namespace quilo {

struct CaptionCover {
    double share = 0;     // of the caption's text, 0 to 1
    std::string picture;  // the covering picture as the script names it
};

// How much of the caption's text a picture on view covers. The text's extent
// is estimated from an average letter of the caption font, which is near
// enough to tell a hidden caption from one beside a picture.
CaptionCover captionCover(const DisplayForm& form);

}  // namespace quilo
