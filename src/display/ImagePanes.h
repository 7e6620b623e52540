#pragma once
// Loads pictures into the two pairs of image panes, fits each to a box by a
// whole scale, and runs the transitions that bring a new picture into view:
// a slide, a left-to-right wipe and a growth. Each pair is a double buffer: the
// next picture is prepared in the pane that is not on view.
//
// Inputs and outputs are the module-wide variables (pictureFile, fitBoxWidth,
// zoomFactor, fittedWidth, ...). Every step of a transition is shown through
// the presenter as a frame of its own.
//
// A picture that cannot be loaded never stops the show: its pane shows
// nothing, the scale keeps its start value, the fitted size is the box itself
// (so captions sized from it keep their size), and one warning names the file.

#include <set>
#include <string>

#include "display/DisplayForm.h"
#include "shared/Modulo1.h"
#include "shared/PictureProber.h"
#include "shared/Presenter.h"
#include "shared/ScriptFiles.h"
#include "shared/Warnings.h"

namespace quilo {

class ImagePanes {
  public:
    ImagePanes(Modulo1& state, DisplayForm& testo1, PictureProber& prober, Presenter& presenter,
               const ScriptFiles& files, Warnings& warnings)
        : state_(state),
          testo1_(testo1),
          prober_(prober),
          presenter_(presenter),
          files_(files),
          warnings_(warnings) {}

    void CaricaImmagine();
    void ScorriImmagine();
    void EspandiImmagine();
    void IngrandisciImmagine();
    void CaricaSfondo();

  private:
    // SetSource followed by Render: names the file and loads its pixel size.
    void load(ImagePane& pane, const std::string& name);
    // Searches the whole scale from zoomFactor; false when the pane has no picture.
    bool scaleSearch(const ImagePane& pane);
    void fitToScale(ImagePane& pane, double scale);
    void useBoxAsFittedSize();

    Modulo1& state_;
    DisplayForm& testo1_;
    PictureProber& prober_;
    Presenter& presenter_;
    const ScriptFiles& files_;
    Warnings& warnings_;
    std::set<std::string> warned_;
};

}  // namespace quilo
