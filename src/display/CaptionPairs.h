#pragma once
// The caption labels come in pairs, one label for each pane of a
// double-buffered pane pair, and the commands give both labels of a pair the
// same text at the same place. Their sizes can differ (a picture's label takes
// the picture's width, a background's caption the background's size), so
// drawing both would write the same words twice with different wrapping. Only
// the label of the pane on view writes the text; both still paint their
// backgrounds, so no colour on the display changes.

#include "display/DisplayForm.h"

namespace quilo {

struct PairText {
    bool first = true;  // whether index 0 writes its text
    bool second = true;
};

// Label1(0) goes with ImgEdit1, Label1(1) with ImgEdit2; with neither or both
// of them on view, Label1(0) writes.
PairText pictureCaptionText(const DisplayForm& form);

// Label2(0) goes with ImgEdit3, Label2(1) with ImgEdit4, which covers ImgEdit3
// when on view; with no background picture, Label2(1), the upper one, writes.
PairText backgroundCaptionText(const DisplayForm& form);

}  // namespace quilo
