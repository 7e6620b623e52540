#pragma once
// Asks the screen to show the display model now, while a procedure is still
// running: a "repaint at once" of a label, and each step of a picture
// transition as a frame of its own. The Qt view paints synchronously and paces
// transition frames; tests record the calls.

namespace quilo {

enum class Repaint { Label2_0, Label2_1, Label1_0, Label1_1 };

class Presenter {
  public:
    virtual ~Presenter() = default;
    virtual void repaintNow(Repaint what) = 0;
    // One step of a slide, wipe or growth; returns once the frame is shown.
    virtual void showTransitionFrame() = 0;
};

}  // namespace quilo
