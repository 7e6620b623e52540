// A physical drive, or a TOC or NRG image, through libcdio. A drive is read
// through cdparanoia's error correction, told to keep quiet.

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <unistd.h>

#include "cd/io/DiscSources.h"
#include "shared/Utf8.h"

namespace quilo {
namespace {

class CdioDisc : public DiscSource {
  public:
    CdioDisc(CdIo_t* cdio, bool drive) : cdio_(cdio) {
        const track_t first = cdio_get_first_track_num(cdio_);
        const track_t count = cdio_get_num_tracks(cdio_);
        std::vector<lsn_t> starts;
        for (track_t t = first; t < first + count; ++t)
            starts.push_back(cdio_get_track_lsn(cdio_, t));
        starts.push_back(cdio_get_track_lsn(cdio_, CDIO_CDROM_LEADOUT_TRACK));
        for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
            toc_.push_back({static_cast<std::int32_t>(starts[i]),
                            static_cast<std::int32_t>(starts[i + 1] - starts[i])});
        }
        if (drive) {
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
        if (paranoia_) {
            if (sector != next_) cdio_paranoia_seek(paranoia_, sector, SEEK_SET);
            const std::int16_t* samples = cdio_paranoia_read(paranoia_, nullptr);
            next_ = sector + 1;
            if (!samples) return false;
            std::memcpy(out, samples, kSectorBytes);
            return true;
        }
        return cdio_read_audio_sectors(cdio_, out, sector, 1) == DRIVER_OP_SUCCESS;
    }

  private:
    CdIo_t* cdio_;
    cdrom_drive_t* drive_ = nullptr;
    cdrom_paranoia_t* paranoia_ = nullptr;
    std::int32_t next_ = -1;
    std::vector<DiscTrack> toc_;
};

// libcdio takes the file names inside a TOC file from the current directory;
// a copy with names made absolute lets a TOC image open from anywhere.
std::string tocWithAbsoluteNames(const std::string& toc) {
    namespace fs = std::filesystem;
    std::ifstream in(toc, std::ios::binary);
    if (!in) return toc;
    std::stringstream text;
    text << in.rdbuf();
    const std::string folder = fs::absolute(fs::path(toc)).parent_path().string();
    const std::regex fileName(R"(((?:AUDIO|DATA)?FILE\s+")([^"/][^"]*)("))");
    const std::string rewritten = std::regex_replace(text.str(), fileName, "$1" + folder + "/$2$3");
    const fs::path copy = fs::temp_directory_path() / ("quilo-" + std::to_string(::getpid()) + "-" +
                                                       fs::path(toc).filename().string());
    std::ofstream out(copy, std::ios::binary);
    out << rewritten;
    return out ? copy.string() : toc;
}

bool hasExtension(const std::string& path, const char* ext) {
    return utf8::asciiLower(std::filesystem::path(path).extension().string()) == ext;
}

}  // namespace

std::unique_ptr<DiscSource> openCdio(const std::string& named, std::string& error) {
    cdio_loglevel_default = CDIO_LOG_ERROR;
    std::string source = named;
    if (source.empty()) {
        char* device = cdio_get_default_device(nullptr);
        if (!device) {
            error = "nessuna unità CD trovata";
            return nullptr;
        }
        source = device;
        cdio_free(device);
    }
    const bool toc = hasExtension(source, ".toc");
    const std::string opened = toc ? tocWithAbsoluteNames(source) : source;
    CdIo_t* cdio = cdio_open(opened.c_str(), DRIVER_UNKNOWN);
    if (opened != source) std::filesystem::remove(opened);
    if (!cdio) {
        error = "impossibile aprire l'unità o l'immagine";
        return nullptr;
    }
    if (cdio_get_num_tracks(cdio) == CDIO_INVALID_TRACK || cdio_get_num_tracks(cdio) == 0) {
        cdio_destroy(cdio);
        error = "nessun disco nell'unità";
        return nullptr;
    }
    const bool drive = cdio_is_device(source.c_str(), DRIVER_UNKNOWN);
    return std::make_unique<CdioDisc>(cdio, drive);
}

std::unique_ptr<DiscSource> openDiscSource(const std::string& named, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::unique_ptr<DiscSource> disc;
    if (!named.empty() && fs::is_directory(named, ec)) {
        disc = openTrackFolder(named, error);
    } else if (hasExtension(named, ".cue")) {
        disc = openCueSheet(named, error);
    } else {
        disc = openCdio(named, error);
    }
    if (!disc)
        error = "Impossibile aprire il disco " +
                (named.empty() ? std::string("predefinito") : named) + ": " + error;
    return disc;
}

}  // namespace quilo
