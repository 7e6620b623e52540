#pragma once
// The script chooser's lists as data, and what happens when they change: a
// drive list ("C:" is the data root, "/" the whole file system), the folder
// being looked at, the "*.txt" scripts and "*.quilo" show files in it
// (matched without regard to case),
// and the hand-over of the chosen file to the panel's script path box.

#include <filesystem>
#include <string>
#include <vector>

#include "shared/Modulo1.h"
#include "shared/PanelModel.h"
#include "shared/PathResolver.h"
#include "shared/Warnings.h"

namespace quilo {

inline constexpr const char* kDataDrive = "C:";
inline constexpr const char* kSystemDrive = "/";

struct ChooserModel {
    std::string drive = kDataDrive;
    std::filesystem::path folder;    // the current folder, a native path
    std::vector<std::string> files;  // script names in the folder, sorted
    int selected = -1;               // index into files, -1 for none
    bool visible = false;
    bool lettoreEnabled = true;  // Command1
    int revision = 0;            // grows each time the folder is read
    bool operator==(const ChooserModel&) const = default;
};

class Chooser {
  public:
    Chooser(ChooserModel& model, Modulo1& state, PanelModel& tarvo1, const PathResolver& paths,
            Warnings& warnings)
        : model_(model), state_(state), tarvo1_(tarvo1), paths_(paths), warnings_(warnings) {}

    // The drive list's value changed: the folder list moves to that drive's root.
    void Drive1_Change(const std::string& drive);
    // Points the folder list at a folder written Windows-style on the current
    // drive ("\Allegato"); a folder that does not exist leaves the list on the
    // drive's root, with one warning.
    void setDirPath(const std::string& written);
    // The folder list's value changed (also by the user): the file list follows.
    void Dir1_Change(const std::filesystem::path& folder);
    // Reads the folder and its files again.
    void refresh();
    // A file was selected: its full path goes into the panel's Text6.
    void File1_Click(int index);

    // The folder's subfolders, sorted, for the folder list.
    std::vector<std::string> subfolders() const;
    std::filesystem::path driveRoot() const;

    // Text6 as the script path: the panel's change handler.
    void Text6_Change() { state_.scriptPath = tarvo1_.Text6; }

  private:
    void listFiles();

    ChooserModel& model_;
    Modulo1& state_;
    PanelModel& tarvo1_;
    const PathResolver& paths_;
    Warnings& warnings_;
};

}  // namespace quilo
