#pragma once
// A show at a glance: one picture per cue (the display right after it, each
// transition on its last frame), painted by the display window's own painter,
// and an index.html contact sheet that opens in any browser without a server.

#include <QSize>
#include <QString>
#include <string>
#include <vector>

#include "display/view/DisplayPainter.h"
#include "presentation/Simulation.h"

namespace quilo {

class Storyboard {
  public:
    Storyboard(QString folder, QSize size) : folder_(std::move(folder)), size_(size) {}

    // Paints the cue's display into its own PNG; false when it cannot be written.
    bool add(const CueReport& cue);
    // Writes the contact sheet; false when it cannot be written.
    bool finish(const std::string& title);

    int cues() const { return static_cast<int>(cues_.size()); }

  private:
    struct Cue {
        std::string picture;
        std::string position;
        int line;
        std::string letter;
        std::string text;
    };
    QString folder_;
    QSize size_;
    DisplayPainter painter_;
    std::vector<Cue> cues_;
};

// Text made safe to put inside an HTML element or attribute.
std::string escapeHtml(const std::string& text);

}  // namespace quilo
