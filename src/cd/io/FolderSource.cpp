// A folder of audio files as a disc: one file a track, in file-name order,
// laid back to back from the first sector. A track's last sector is padded
// with silence.

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "cd/io/AudioFile.h"
#include "cd/io/DiscSources.h"
#include "shared/Utf8.h"

namespace quilo {
namespace {

namespace fs = std::filesystem;

bool isAudioFile(const fs::path& p) {
    const std::string ext = utf8::asciiLower(p.extension().string());
    return ext == ".wav" || ext == ".flac" || ext == ".ogg" || ext == ".oga" || ext == ".mp3";
}

class FolderDisc : public DiscSource {
  public:
    const std::vector<DiscTrack>& tracks() const override { return toc_; }
    bool readSector(std::int32_t sector, std::uint8_t* out) override {
        for (std::size_t i = 0; i < toc_.size(); ++i) {
            if (sector >= toc_[i].start && sector < toc_[i].start + toc_[i].length) {
                const std::int64_t first = std::int64_t{sector - toc_[i].start} * kFramesPerSector;
                return files_[i]->read(first, kFramesPerSector, out);
            }
        }
        return false;
    }

    std::vector<std::unique_ptr<AudioFile>> files_;
    std::vector<DiscTrack> toc_;
};

}  // namespace

std::unique_ptr<DiscSource> openTrackFolder(const std::string& path, std::string& error) {
    std::vector<fs::path> names;
    std::error_code ec;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec) && isAudioFile(it->path())) names.push_back(it->path());
    }
    std::sort(names.begin(), names.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    auto disc = std::make_unique<FolderDisc>();
    std::int32_t cursor = 0;
    for (const auto& name : names) {
        std::string why;
        auto file = AudioFile::open(name.string(), why);
        if (!file) {
            std::cerr << "quilo: brano non leggibile, escluso dal disco: " << name.string() << " ("
                      << why << ")\n";
            continue;
        }
        const auto sectors =
            static_cast<std::int32_t>((file->frames() + kFramesPerSector - 1) / kFramesPerSector);
        disc->toc_.push_back({cursor, sectors});
        disc->files_.push_back(std::move(file));
        cursor += sectors;
    }
    if (disc->toc_.empty()) {
        error = "nessun brano audio nella cartella";
        return nullptr;
    }
    return disc;
}

}  // namespace quilo
