// Which source reads a name the user gave: a folder of tracks, a CUE sheet,
// or anything else libcdio knows (a drive, a TOC or NRG image).
#include "cd/io/DiscSources.h"

#include <filesystem>

#include "shared/Utf8.h"

namespace quilo {

bool hasExtension(const std::string& path, const char* ext) {
    return utf8::asciiLower(std::filesystem::path(path).extension().string()) == ext;
}

std::unique_ptr<DiscSource> openDiscSource(const std::string& named, std::string& error) {
    std::error_code ec;
    std::unique_ptr<DiscSource> disc;
    if (!named.empty() && std::filesystem::is_directory(named, ec)) {
        disc = openTrackFolder(named, error);
    } else if (hasExtension(named, ".cue")) {
        disc = openCueSheet(named, error);
    } else {
        disc = openCdio(named, error);
    }
    if (!disc) {
        error = "Impossibile aprire il disco " +
                (named.empty() ? std::string("predefinito") : named) + ": " + error;
    }
    return disc;
}

}  // namespace quilo
