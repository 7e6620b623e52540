// A folder of audio files as a disc: one file a track, in file-name order,
// laid back to back from the first sector, at most 99 of them. A track's last
// sector is padded with silence. Only the track being played is open, so a
// folder of any size costs one file descriptor.

#include <algorithm>
#include <filesystem>

#include "cd/DiscLayout.h"
#include "cd/io/DiscSources.h"
#include "media/io/AudioFile.h"
#include "shared/Utf8.h"

namespace quilo {
namespace {

namespace fs = std::filesystem;

// More entries than this in one folder is not a disc; the scan stops there.
constexpr std::size_t kMaxEntries = 100000;

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
                if (open_ != i || !file_) {
                    std::string why;
                    file_ = AudioFile::open(paths_[i], why);
                    open_ = i;
                }
                if (!file_) return false;
                const std::int64_t first = std::int64_t{sector - toc_[i].start} * kFramesPerSector;
                return file_->read(first, kFramesPerSector, out);
            }
        }
        return false;
    }

    std::vector<std::string> paths_;
    std::vector<DiscTrack> toc_;

  private:
    std::unique_ptr<AudioFile> file_;
    std::size_t open_ = 0;
};

}  // namespace

std::unique_ptr<DiscSource> openTrackFolder(const std::string& path, std::string& error) {
    std::vector<fs::path> names;
    std::error_code ec;
    std::size_t seen = 0;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end && seen < kMaxEntries;
         it.increment(ec), ++seen) {
        if (it->is_regular_file(ec) && isAudioFile(it->path())) names.push_back(it->path());
    }
    std::sort(names.begin(), names.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    auto disc = std::make_unique<FolderDisc>();
    std::vector<std::int64_t> starts;
    std::int64_t cursor = 0;
    std::size_t taken = 0;
    for (const auto& name : names) {
        if (starts.size() == kMaxTracks || cursor >= kMaxDiscSectors) break;
        ++taken;
        std::string why;
        const auto file = AudioFile::open(name.string(), why);
        if (!file) {
            disc->notes.push_back("brano non leggibile, escluso dal disco: " + name.string() +
                                  " (" + why + ")");
            continue;
        }
        starts.push_back(cursor);
        disc->paths_.push_back(name.string());
        cursor += sectorsFor(file->frames());
    }
    if (taken < names.size())
        disc->notes.push_back("la cartella ha " + std::to_string(names.size()) +
                              " file audio: si usano i primi " + std::to_string(taken));
    disc->toc_ = discTable(starts, cursor, disc->notes);
    if (disc->toc_.empty()) {
        error = "nessun brano audio nella cartella";
        return nullptr;
    }
    disc->paths_.resize(disc->toc_.size());
    return disc;
}

}  // namespace quilo
