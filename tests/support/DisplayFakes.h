#pragma once
// Hand-written fakes for the display's ports: a table of picture sizes, a
// presenter that records every repaint and transition frame, collected
// warnings and window raises.

#include <map>
#include <string>
#include <vector>

#include "display/DisplayForm.h"
#include "shared/PictureProber.h"
#include "shared/Presenter.h"
#include "shared/Warnings.h"
#include "shared/Windows.h"

namespace quilo::testing {

class FakePictureProber : public PictureProber {
  public:
    std::optional<PixelSize> pixelSize(const std::string& file) override {
        probed.push_back(file);
        for (const auto& [suffix, size] : sizes) {
            if (file.size() >= suffix.size() &&
                file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0) {
                return size;
            }
        }
        return std::nullopt;
    }
    // Files are matched by the end of their resolved path, e.g. "/photo1.bmp".
    std::map<std::string, PixelSize> sizes;
    std::vector<std::string> probed;
};

// Records the geometry of the picture panes at every transition frame.
class RecordingPresenter : public Presenter {
  public:
    explicit RecordingPresenter(const DisplayForm* form = nullptr) : form_(form) {}

    void repaintNow(Repaint what) override { repaints.push_back(what); }
    void showTransitionFrame() override {
        ++frames;
        if (form_) {
            frameGeometry.push_back({form_->ImgEdit[1].geometry, form_->ImgEdit[2].geometry});
        }
    }
    void watch(const DisplayForm& form) { form_ = &form; }

    std::vector<Repaint> repaints;
    int frames = 0;
    struct PanePair {
        Geometry first;   // ImgEdit1
        Geometry second;  // ImgEdit2
    };
    std::vector<PanePair> frameGeometry;

  private:
    const DisplayForm* form_;
};

class RecordingWarnings : public Warnings {
  public:
    void warn(const std::string& message) override { messages.push_back(message); }
    std::vector<std::string> messages;
};

class RecordingWindows : public Windows {
  public:
    void bringToFront(Window window) override { raised.push_back(window); }
    std::vector<Window> raised;
};

}  // namespace quilo::testing
