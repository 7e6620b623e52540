#pragma once
// What the player panel shows: its text boxes are the program's visible
// variables (the decoded position, the disc code, the script path, the clock's
// seconds). Procedures write here; the panel view only mirrors it.

#include <string>

namespace quilo {

struct PanelModel {
    std::string Text1;      // track of the CD position
    std::string Text2;      // minutes
    std::string Text3;      // seconds; also the progress value
    std::string Text4;      // frames
    std::string Text6;      // full path of the chosen script
    std::string Text7;      // disc code
    std::string Text8;      // elapsed seconds of the clock
    float progress = 0.0f;  // ProgressBar1, range 0 to 60
    std::string status;     // why the disc cannot be played; empty when it can
    bool visible = false;
    bool enabled = true;
    bool operator==(const PanelModel&) const = default;
};

}  // namespace quilo
