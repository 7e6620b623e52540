// A CUE sheet as a disc, read by a parser of our own: a sheet is a few
// hundred short lines, and a library that prints to the terminal about every
// stray byte is no help. Every FILE line is honoured, BINARY and MOTOROLA as
// raw samples, the others decoded. A track starts at its INDEX 01, whichever
// file that lies in, and runs to the next track's INDEX 01; PREGAP and
// POSTGAP are silence that is in no file.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>

#include "cd/DiscLayout.h"
#include "cd/io/DiscSources.h"
#include "media/io/AudioFile.h"
#include "shared/PathResolver.h"
#include "shared/RegularFile.h"
#include "shared/Utf8.h"

namespace quilo {
namespace {

namespace fs = std::filesystem;

// 99 tracks of a handful of lines each, with titles and remarks: a sheet
// larger than this is something else.
constexpr std::size_t kSheetLimit = 1024 * 1024;
constexpr std::size_t kMaxSheetFiles = 99;

// ---------------------------------------------------------------- the sheet

struct SheetPosition {
    std::size_t file = 0;
    std::int64_t sector = 0;
};

struct SheetTrack {
    std::optional<SheetPosition> index0, index1, firstIndex;
    std::int64_t pregap = 0;
    std::int64_t postgap = 0;
    SheetPosition start() const { return index1 ? *index1 : *firstIndex; }
};

struct SheetFileLine {
    std::string name;
    std::string type;  // lower case
};

struct Sheet {
    std::vector<SheetFileLine> files;
    std::vector<SheetTrack> tracks;
};

// "mm:ss:ff" as sectors.
std::optional<std::int64_t> msfSectors(const std::string& text) {
    int m = 0, s = 0, f = 0;
    char colon1 = 0, colon2 = 0;
    std::istringstream in(text);
    if (!(in >> m >> colon1 >> s >> colon2 >> f) || colon1 != ':' || colon2 != ':') return {};
    if (m < 0 || m > 9999 || s < 0 || s > 59 || f < 0 || f >= kSectorsPerSecond) return {};
    return (std::int64_t{m} * 60 + s) * kSectorsPerSecond + f;
}

// The words of a line; a quoted word may hold spaces.
std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string word;
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            const std::size_t end = close == std::string::npos ? line.size() : close;
            word = line.substr(i + 1, end - i - 1);
            i = end + 1;
        } else {
            const std::size_t end = line.find_first_of(" \t", i);
            word = line.substr(i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? line.size() : end;
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool looksLikeText(std::string_view bytes) {
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 && b != '\t' && b != '\r' && b != '\n';
    });
}

std::optional<Sheet> parseSheet(const std::string& text) {
    Sheet sheet;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto words = wordsOf(line);
        if (words.empty()) continue;
        const std::string keyword = utf8::asciiLower(words[0]);
        if (keyword == "file" && words.size() >= 2) {
            if (sheet.files.size() == kMaxSheetFiles) return {};
            sheet.files.push_back({words[1], words.size() >= 3 ? utf8::asciiLower(words[2]) : ""});
        } else if (keyword == "track") {
            if (sheet.files.empty()) return {};
            sheet.tracks.emplace_back();
        } else if (keyword == "index" && words.size() >= 3) {
            if (sheet.tracks.empty()) return {};
            const auto at = msfSectors(words[2]);
            if (!at) return {};
            SheetTrack& track = sheet.tracks.back();
            const SheetPosition position{sheet.files.size() - 1, *at};
            if (!track.firstIndex) track.firstIndex = position;
            if (words[1] == "00" || words[1] == "0") track.index0 = position;
            if (words[1] == "01" || words[1] == "1") track.index1 = position;
        } else if ((keyword == "pregap" || keyword == "postgap") && words.size() >= 2) {
            if (sheet.tracks.empty()) return {};
            const auto length = msfSectors(words[1]);
            if (!length) return {};
            (keyword == "pregap" ? sheet.tracks.back().pregap : sheet.tracks.back().postgap) =
                *length;
        }
    }
    if (sheet.tracks.empty()) return {};
    for (const SheetTrack& track : sheet.tracks) {
        if (!track.firstIndex) return {};
    }
    return sheet;
}

// ---------------------------------------------------------------- the files

// One file a sheet names, read sector by sector.
class SheetFile {
  public:
    virtual ~SheetFile() = default;
    virtual std::int64_t sectors() const = 0;
    virtual bool read(std::int64_t sector, std::uint8_t* out) = 0;
};

class RawFile : public SheetFile {
  public:
    RawFile(int fd, bool bigEndian) : fd_(fd), bigEndian_(bigEndian) {
        struct stat info {};
        if (::fstat(fd_, &info) == 0)
            sectors_ = (std::int64_t{info.st_size} + kSectorBytes - 1) / kSectorBytes;
    }
    ~RawFile() override { ::close(fd_); }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    std::int64_t sectors() const override { return sectors_; }
    bool read(std::int64_t sector, std::uint8_t* out) override {
        std::fill(out, out + kSectorBytes, 0);
        const ssize_t got =
            ::pread(fd_, out, kSectorBytes, static_cast<off_t>(sector * kSectorBytes));
        if (got <= 0) return false;
        if (bigEndian_) {
            for (int i = 0; i + 1 < kSectorBytes; i += 2) std::swap(out[i], out[i + 1]);
        }
        return true;
    }

  private:
    int fd_;
    bool bigEndian_;
    std::int64_t sectors_ = 0;
};

class DecodedFile : public SheetFile {
  public:
    explicit DecodedFile(std::unique_ptr<AudioFile> file) : file_(std::move(file)) {}
    std::int64_t sectors() const override { return sectorsFor(file_->frames()); }
    bool read(std::int64_t sector, std::uint8_t* out) override {
        return file_->read(sector * kFramesPerSector, kFramesPerSector, out);
    }

  private:
    std::unique_ptr<AudioFile> file_;
};

std::unique_ptr<SheetFile> openSheetFile(const std::string& path, const std::string& type,
                                         std::string& why) {
    if (type == "wave" || type == "mp3" || type == "aiff" || type == "flac") {
        auto audio = AudioFile::open(path, why);
        return audio ? std::make_unique<DecodedFile>(std::move(audio)) : nullptr;
    }
    FileProblem problem = FileProblem::None;
    const int fd = openRegularFile(path, problem);
    if (fd < 0) {
        why = describeProblem(problem);
        return nullptr;
    }
    return std::make_unique<RawFile>(fd, type == "motorola");
}

// ---------------------------------------------------------------- the disc

class CueDisc : public DiscSource {
  public:
    struct Segment {
        std::int64_t discStart;
        std::int64_t count;
        int file;  // -1: silence
        std::int64_t fileSector;
    };

    const std::vector<DiscTrack>& tracks() const override { return toc_; }
    bool readSector(std::int32_t sector, std::uint8_t* out) override {
        auto it =
            std::upper_bound(segments_.begin(), segments_.end(), std::int64_t{sector},
                             [](std::int64_t s, const Segment& seg) { return s < seg.discStart; });
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

    // Lays the files back to back with the sheet's silences between them.
    void layOut(const Sheet& sheet) {
        struct Gap {
            std::int64_t at, length;
        };
        std::vector<std::vector<Gap>> gaps(files_.size());
        for (std::size_t t = 0; t < sheet.tracks.size(); ++t) {
            const SheetTrack& track = sheet.tracks[t];
            const SheetPosition start = track.start();
            if (track.pregap > 0) gaps[start.file].push_back({start.sector, track.pregap});
            if (track.postgap > 0) {
                SheetPosition end{start.file, files_[start.file]->sectors()};
                if (t + 1 < sheet.tracks.size() &&
                    sheet.tracks[t + 1].firstIndex->file == start.file)
                    end.sector = sheet.tracks[t + 1].firstIndex->sector;
                gaps[end.file].push_back({end.sector, track.postgap});
            }
        }
        std::int64_t cursor = 0;
        for (std::size_t f = 0; f < files_.size(); ++f) {
            std::stable_sort(gaps[f].begin(), gaps[f].end(),
                             [](const Gap& a, const Gap& b) { return a.at < b.at; });
            const std::int64_t length = files_[f]->sectors();
            std::int64_t from = 0;
            for (const Gap& gap : gaps[f]) {
                const std::int64_t at = std::clamp(gap.at, from, length);
                addFileSegment(cursor, f, from, at - from);
                segments_.push_back({cursor, gap.length, -1, 0});
                cursor += gap.length;
                from = at;
            }
            addFileSegment(cursor, f, from, length - from);
        }
        end_ = cursor;
    }

    // Where a file's sector lies on the disc (after a silence put before it).
    std::int64_t discPosition(SheetPosition p) const {
        std::int64_t last = 0;
        for (const Segment& s : segments_) {
            if (s.file != static_cast<int>(p.file)) continue;
            if (p.sector >= s.fileSector && p.sector < s.fileSector + s.count)
                return s.discStart + p.sector - s.fileSector;
            if (p.sector >= s.fileSector + s.count) last = s.discStart + s.count;
        }
        return last;
    }

    std::vector<std::unique_ptr<SheetFile>> files_;
    std::vector<Segment> segments_;
    std::vector<DiscTrack> toc_;
    std::int64_t end_ = 0;

  private:
    void addFileSegment(std::int64_t& cursor, std::size_t file, std::int64_t from,
                        std::int64_t count) {
        if (count <= 0) return;
        segments_.push_back({cursor, count, static_cast<int>(file), from});
        cursor += count;
    }
};

}  // namespace

std::unique_ptr<DiscSource> openCueSheet(const std::string& path, std::string& error) {
    std::string bytes;
    const FileProblem problem = readRegularFile(path, kSheetLimit, bytes);
    if (problem != FileProblem::None) {
        error = "il foglio CUE " + describeProblem(problem);
        return nullptr;
    }
    const auto sheet = looksLikeText(bytes) ? parseSheet(bytes) : std::nullopt;
    if (!sheet) {
        error = "foglio CUE non valido";
        return nullptr;
    }
    const fs::path folder = fs::path(path).parent_path();
    const PathResolver names(folder);
    auto disc = std::make_unique<CueDisc>();
    for (const SheetFileLine& line : sheet->files) {
        std::string why;
        auto file = openSheetFile(names.resolve(line.name, folder).string(), line.type, why);
        if (!file) {
            error = "impossibile leggere il file " + line.name + " del foglio CUE (" + why + ")";
            return nullptr;
        }
        disc->files_.push_back(std::move(file));
    }
    disc->layOut(*sheet);
    std::vector<std::int64_t> starts;
    for (const SheetTrack& track : sheet->tracks)
        starts.push_back(disc->discPosition(track.start()));
    disc->toc_ = discTable(starts, disc->end_, disc->notes);
    if (disc->toc_.empty()) {
        error = "foglio CUE non valido: i brani non sono in ordine o sono vuoti";
        return nullptr;
    }
    return disc;
}

}  // namespace quilo
