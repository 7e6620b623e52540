// A CUE sheet as a disc. libcue gives the tracks and their indexes; the file
// types (BINARY, MOTOROLA, WAVE, ...) are read from the sheet's FILE lines,
// which libcue does not report.

#include <libcue.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cd/io/AudioFile.h"
#include "cd/io/DiscSources.h"
#include "shared/PathResolver.h"
#include "shared/Utf8.h"

namespace quilo {
namespace {

namespace fs = std::filesystem;

// FILE "name" TYPE lines: name to lower-case type.
std::map<std::string, std::string> fileTypes(const std::string& sheet) {
    std::map<std::string, std::string> types;
    std::istringstream lines(sheet);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (utf8::asciiLower(keyword) != "file") continue;
        std::string name;
        words >> std::ws;
        if (words.peek() == '"') {
            words.get();
            std::getline(words, name, '"');
        } else {
            words >> name;
        }
        std::string type;
        words >> type;
        types[name] = utf8::asciiLower(type);
    }
    return types;
}

// One file a sheet names, read sector by sector.
class SheetFile {
  public:
    virtual ~SheetFile() = default;
    virtual std::int32_t sectors() const = 0;
    virtual bool read(std::int32_t sector, std::uint8_t* out) = 0;
};

class RawFile : public SheetFile {
  public:
    RawFile(const std::string& path, bool bigEndian)
        : in_(path, std::ios::binary), bigEndian_(bigEndian) {
        std::error_code ec;
        const auto size = fs::file_size(path, ec);
        sectors_ = ec ? 0 : static_cast<std::int32_t>((size + kSectorBytes - 1) / kSectorBytes);
    }
    bool ok() const { return static_cast<bool>(in_); }
    std::int32_t sectors() const override { return sectors_; }
    bool read(std::int32_t sector, std::uint8_t* out) override {
        std::fill(out, out + kSectorBytes, 0);
        in_.clear();
        in_.seekg(std::streamoff{sector} * kSectorBytes);
        in_.read(reinterpret_cast<char*>(out), kSectorBytes);
        if (in_.gcount() <= 0) return false;
        if (bigEndian_) {
            for (int i = 0; i + 1 < kSectorBytes; i += 2) std::swap(out[i], out[i + 1]);
        }
        return true;
    }

  private:
    std::ifstream in_;
    bool bigEndian_;
    std::int32_t sectors_ = 0;
};

class DecodedFile : public SheetFile {
  public:
    explicit DecodedFile(std::unique_ptr<AudioFile> file) : file_(std::move(file)) {}
    std::int32_t sectors() const override {
        return static_cast<std::int32_t>((file_->frames() + kFramesPerSector - 1) /
                                         kFramesPerSector);
    }
    bool read(std::int32_t sector, std::uint8_t* out) override {
        return file_->read(std::int64_t{sector} * kFramesPerSector, kFramesPerSector, out);
    }

  private:
    std::unique_ptr<AudioFile> file_;
};

class CueDisc : public DiscSource {
  public:
    struct Segment {
        std::int32_t discStart;
        std::int32_t count;
        int file;  // -1: silence
        std::int32_t fileSector;
    };

    const std::vector<DiscTrack>& tracks() const override { return toc_; }
    bool readSector(std::int32_t sector, std::uint8_t* out) override {
        auto it =
            std::upper_bound(segments_.begin(), segments_.end(), sector,
                             [](std::int32_t s, const Segment& seg) { return s < seg.discStart; });
        if (it == segments_.begin()) return false;
        --it;
        if (sector >= it->discStart + it->count) return false;
        if (it->file < 0) {
            std::fill(out, out + kSectorBytes, 0);
            return true;
        }
        return files_[static_cast<std::size_t>(it->file)]->read(
            it->fileSector + sector - it->discStart, out);
    }

    std::vector<std::unique_ptr<SheetFile>> files_;
    std::vector<Segment> segments_;
    std::vector<DiscTrack> toc_;
};

struct CdDeleter {
    void operator()(Cd* cd) const { cd_delete(cd); }
};

}  // namespace

std::unique_ptr<DiscSource> openCueSheet(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "impossibile leggere il foglio CUE";
        return nullptr;
    }
    std::stringstream text;
    text << in.rdbuf();
    const std::string sheet = text.str();
    std::unique_ptr<Cd, CdDeleter> cd(cue_parse_string(sheet.c_str()));
    if (!cd || cd_get_ntrack(cd.get()) < 1) {
        error = "foglio CUE non valido";
        return nullptr;
    }
    const auto types = fileTypes(sheet);
    const fs::path folder = fs::path(path).parent_path();
    const PathResolver names(folder);

    auto disc = std::make_unique<CueDisc>();
    std::map<std::string, int> opened;
    std::vector<std::int32_t> starts;
    std::int32_t cursor = 0;
    for (int i = 1; i <= cd_get_ntrack(cd.get()); ++i) {
        Track* track = cd_get_track(cd.get(), i);
        const std::string name = track_get_filename(track) ? track_get_filename(track) : "";
        auto found = opened.find(name);
        if (found == opened.end()) {
            const std::string file = names.resolve(name, folder).string();
            const auto type = types.count(name) ? types.at(name) : std::string("binary");
            std::unique_ptr<SheetFile> sheetFile;
            if (type == "binary" || type == "motorola") {
                auto raw = std::make_unique<RawFile>(file, type == "motorola");
                if (raw->ok()) sheetFile = std::move(raw);
            } else {
                std::string why;
                if (auto audio = AudioFile::open(file, why))
                    sheetFile = std::make_unique<DecodedFile>(std::move(audio));
            }
            if (!sheetFile) {
                error = "impossibile leggere il file " + name + " del foglio CUE";
                return nullptr;
            }
            disc->files_.push_back(std::move(sheetFile));
            found = opened.emplace(name, static_cast<int>(disc->files_.size()) - 1).first;
        }
        const int file = found->second;
        const auto index0 = static_cast<std::int32_t>(track_get_index(track, 0));
        const auto index1 = static_cast<std::int32_t>(std::max(0L, track_get_start(track)));
        const auto pregap = static_cast<std::int32_t>(track_get_zero_pre(track));
        if (index0 < 0 && pregap > 0) {  // PREGAP: silence that is not in the file
            disc->segments_.push_back({cursor, pregap, -1, 0});
            cursor += pregap;
        }
        if (index0 >= 0 && index1 > index0) {  // INDEX 00: the pregap is in the file
            disc->segments_.push_back({cursor, index1 - index0, file, index0});
            cursor += index1 - index0;
        }
        starts.push_back(cursor);
        long length = track_get_length(track);
        if (length < 0)
            length =
                std::max<long>(0, disc->files_[static_cast<std::size_t>(file)]->sectors() - index1);
        disc->segments_.push_back({cursor, static_cast<std::int32_t>(length), file, index1});
        cursor += static_cast<std::int32_t>(length);
        const auto postgap = static_cast<std::int32_t>(track_get_zero_post(track));
        if (postgap > 0) {
            disc->segments_.push_back({cursor, postgap, -1, 0});
            cursor += postgap;
        }
    }
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::int32_t next = i + 1 < starts.size() ? starts[i + 1] : cursor;
        disc->toc_.push_back({starts[i], next - starts[i]});
    }
    return disc;
}

}  // namespace quilo
