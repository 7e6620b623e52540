// A physical drive, or a TOC or NRG image, through libcdio. A drive is read
// through cdparanoia's error correction, told to keep quiet; an image can be
// read that way too, so that a drive's path runs where no drive is.

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "cd/DiscLayout.h"
#include "cd/io/DiscSources.h"
#include "shared/RegularFile.h"
#include "shared/Utf8.h"

namespace quilo {
namespace {

// Paranoia's callback takes no context: what it said of the read under way,
// kept per thread (one disc is read by one thread at a time).
thread_local bool readFailed = false;

void noteFailure(long, paranoia_cb_mode_t mode) {
    if (mode == PARANOIA_CB_SKIP) readFailed = true;
}

class CdioDisc : public DiscSource {
  public:
    CdioDisc(CdIo_t* cdio, bool paranoia) : cdio_(cdio) {
        const track_t first = cdio_get_first_track_num(cdio_);
        const track_t count = cdio_get_num_tracks(cdio_);
        std::vector<std::int64_t> starts;
        for (int t = first; t < first + count && t <= CDIO_CD_MAX_TRACKS; ++t)
            starts.push_back(cdio_get_track_lsn(cdio_, static_cast<track_t>(t)));
        toc_ = discTable(starts, cdio_get_track_lsn(cdio_, CDIO_CDROM_LEADOUT_TRACK), notes);
        if (paranoia) {
            drive_ = cdio_cddap_identify_cdio(cdio_, CDDA_MESSAGE_FORGETIT, nullptr);
            if (drive_ && cdio_cddap_open(drive_) == 0) {
                paranoia_ = cdio_paranoia_init(drive_);
                cdio_paranoia_modeset(paranoia_, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
            }
        }
    }
    ~CdioDisc() override {
        if (paranoia_) cdio_paranoia_free(paranoia_);
        if (drive_) cdio_cddap_close_no_free_cdio(drive_);
        cdio_destroy(cdio_);
    }

    const std::vector<DiscTrack>& tracks() const override { return toc_; }

    bool readSector(std::int32_t sector, std::uint8_t* out) override {
        // Outside the table paranoia would search for ever.
        if (sector < 0 || sector >= endSector()) return false;
        if (paranoia_) {
            if (sector != next_) cdio_paranoia_seek(paranoia_, sector, SEEK_SET);
            // A few tries at a bad sector, then silence: the show goes on.
            readFailed = false;
            const std::int16_t* samples =
                cdio_paranoia_read_limited(paranoia_, &noteFailure, kParanoiaRetries);
            next_ = sector + 1;
            // Skipped after its tries, paranoia hands back a filler: not the disc.
            if (!samples || readFailed) return false;
            std::memcpy(out, samples, kSectorBytes);
            return true;
        }
        return cdio_read_audio_sectors(cdio_, out, sector, 1) == DRIVER_OP_SUCCESS;
    }

  private:
    static constexpr int kParanoiaRetries = 3;

    CdIo_t* cdio_;
    cdrom_drive_t* drive_ = nullptr;
    cdrom_paranoia_t* paranoia_ = nullptr;
    std::int32_t next_ = -1;
    std::vector<DiscTrack> toc_;
};

// A TOC file is a few lines a track; anything near this size is not one.
constexpr std::size_t kTocLimit = 1024 * 1024;

// The TOC text with every relative data-file name made absolute (libcdio
// takes them from the current directory); `names` gets every file named.
std::string withAbsoluteNames(const std::string& text, const std::string& folder,
                              std::vector<std::string>& names) {
    std::string out;
    out.reserve(text.size() + 1024);
    std::size_t copied = 0;
    std::size_t from = 0;
    while (true) {
        const std::size_t found = text.find("FILE", from);
        if (found == std::string::npos) break;
        from = found + 4;
        const std::size_t open = text.find_first_not_of(" \t", from);
        if (open == std::string::npos || open == from || text[open] != '"') continue;
        const std::size_t close = text.find('"', open + 1);
        if (close == std::string::npos) break;
        std::string name = text.substr(open + 1, close - open - 1);
        if (name.empty() || name[0] != '/') name = folder + '/' + name;
        out.append(text, copied, open + 1 - copied);
        out += name;
        names.push_back(std::move(name));
        copied = from = close;
    }
    out.append(text, copied, std::string::npos);
    return out;
}

// Writes the rewritten TOC to a new private temporary file (never through a
// link planted under its name) and returns its path; empty on failure, with
// nothing left behind.
std::string privateTocCopy(const std::string& toc, std::string& why) {
    namespace fs = std::filesystem;
    std::string text;
    const FileProblem problem = readRegularFile(toc, kTocLimit, text);
    if (problem != FileProblem::None) {
        why = "il file TOC " + describeProblem(problem);
        return {};
    }
    std::error_code ec;
    const std::string folder = fs::absolute(fs::path(toc), ec).parent_path().string();
    std::vector<std::string> names;
    const std::string rewritten = withAbsoluteNames(text, folder, names);
    // libcdio opens the data files itself: a FIFO among them would never answer.
    const auto notRegular = [](const std::string& name) {
        struct stat info {};
        return ::stat(name.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
    };
    if (std::any_of(names.begin(), names.end(), notRegular)) {
        why = "il file TOC nomina un file che non è un file regolare";
        return {};
    }
    std::string name = (fs::temp_directory_path(ec) / "quilo-XXXXXX.toc").string();
    const int fd = ::mkstemps(name.data(), 4);
    if (fd < 0) {
        why = "impossibile preparare la lettura del file TOC";
        return {};
    }
    std::size_t written = 0;
    while (written < rewritten.size()) {
        const ssize_t n = ::write(fd, rewritten.data() + written, rewritten.size() - written);
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (written != rewritten.size()) {
        ::unlink(name.c_str());
        why = "impossibile preparare la lettura del file TOC";
        return {};
    }
    return name;
}

// libcdio reports what it cannot read on the terminal, in English; every
// failure that matters reaches the user through our own message instead.
void quietLog(cdio_log_level_t, const char*) {}

// The system's default CD drive; empty when it has none.
std::string defaultDrive() {
    cdio_log_set_handler(quietLog);
    char* device = cdio_get_default_device(nullptr);
    if (!device) return {};
    std::string drive = device;
    cdio_free(device);
    return drive;
}

}  // namespace

bool hasCdDrive() {
    return !defaultDrive().empty();
}

std::unique_ptr<DiscSource> openCdio(const std::string& named, std::string& error,
                                     CdioReading reading) {
    cdio_log_set_handler(quietLog);
    const std::string source = named.empty() ? defaultDrive() : named;
    if (source.empty()) {
        error = "nessuna unità CD trovata";
        return nullptr;
    }
    const bool toc = hasExtension(source, ".toc");
    std::string opened = source;
    if (toc) {
        opened = privateTocCopy(source, error);
        if (opened.empty()) return nullptr;
    } else if (struct stat info{}; ::stat(source.c_str(), &info) != 0) {
        error = "non esiste";
        return nullptr;
    } else if (!S_ISREG(info.st_mode) && !S_ISBLK(info.st_mode)) {
        error = "non è né un'immagine né un'unità CD";  // a FIFO would hang the opening
        return nullptr;
    }
    CdIo_t* cdio = cdio_open(opened.c_str(), DRIVER_UNKNOWN);
    if (toc) ::unlink(opened.c_str());
    if (!cdio) {
        error = "impossibile aprire l'unità o l'immagine";
        return nullptr;
    }
    if (cdio_get_num_tracks(cdio) == CDIO_INVALID_TRACK || cdio_get_num_tracks(cdio) == 0) {
        cdio_destroy(cdio);
        error = "nessun disco nell'unità";
        return nullptr;
    }
    const bool paranoia =
        reading == CdioReading::ThroughParanoia || cdio_is_device(source.c_str(), DRIVER_UNKNOWN);
    auto disc = std::make_unique<CdioDisc>(cdio, paranoia);
    if (disc->tracks().empty()) {
        error = "la tabella dei brani del disco non è valida";
        return nullptr;
    }
    return disc;
}

}  // namespace quilo
