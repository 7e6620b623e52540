#pragma once
// Makes a show file from a script, its root and, if asked, its music: the
// script is read as the player reads it, every file it names goes in under
// the name the player looks for, and the disc (a drive through cdparanoia,
// an image or a folder of tracks) goes in as one FLAC and a CUE sheet with
// the disc's own table of contents.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quilo {

struct PackRequest {
    std::string script;
    std::string root;
    bool music = false;  // the disc's music goes in
    std::string disc;    // drive, image or folder; empty: the default drive
    std::string output;
    std::string title;          // empty: the script's name
    bool allowMissing = false;  // pack even when named files are missing
    bool keepBackup = false;    // an existing show file is kept as ".bak"
};

struct PackReport {
    std::vector<std::string> missing;  // named files not found (left out)
    std::vector<std::string> notes;    // what else the author should know
    std::uint64_t bytes = 0;           // of the members
    int members = 0;
};

// What is being done ("Immagini", "Musica") and how far, for a progress bar.
using PackProgress =
    std::function<void(const std::string& stage, std::uint64_t done, std::uint64_t total)>;

// False with `error` in Italian when the show cannot be packed; with named
// files missing and no `allowMissing`, `report.missing` lists every one.
bool packShow(const PackRequest& request, PackReport& report, std::string& error,
              const PackProgress& progress = {});

}  // namespace quilo
