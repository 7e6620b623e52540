#include "bundle/io/ShowPacker.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <vector>

#include "bundle/DiscSheet.h"
#include "bundle/MemberName.h"
#include "bundle/PackPlan.h"
#include "bundle/io/BundleWriter.h"
#include "cd/io/DiscSources.h"
#include "script/ScriptLoader.h"

namespace quilo {
namespace fs = std::filesystem;
namespace {

constexpr std::int32_t kSectorBytes = 2352;
constexpr std::int32_t kSectorsPerWrite = 75;  // one second a write

// The disc's samples from its first sector to its last, as 16-bit FLAC.
// Sectors that cannot be read are written as silence and counted.
bool encodeDisc(DiscSource& disc, const std::string& file, PackReport& report, std::string& error,
                const PackProgress& progress) {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* out = sf_open(file.c_str(), SFM_WRITE, &info);
    if (!out) {
        error = "non si può scrivere la musica in " + file;
        return false;
    }
    // A lighter compression than the default: the disc is packed many times
    // faster than it plays, for a few per cent more bytes.
    double level = 0.25;
    sf_command(out, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
    const std::int32_t end = disc.endSector();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kSectorBytes) * kSectorsPerWrite);
    std::vector<short> samples(bytes.size() / 2);
    std::int64_t unreadable = 0;
    bool written = true;
    for (std::int32_t sector = 0; sector < end && written; sector += kSectorsPerWrite) {
        const std::int32_t count = std::min(kSectorsPerWrite, end - sector);
        for (std::int32_t i = 0; i < count; ++i) {
            std::uint8_t* at = bytes.data() + static_cast<std::size_t>(i) * kSectorBytes;
            if (!disc.readSector(sector + i, at)) {
                std::fill(at, at + kSectorBytes, 0);
                ++unreadable;
            }
        }
        const std::size_t values = static_cast<std::size_t>(count) * kSectorBytes / 2;
        for (std::size_t k = 0; k < values; ++k)
            samples[k] = static_cast<short>(bytes[2 * k] | (bytes[2 * k + 1] << 8));
        written = sf_write_short(out, samples.data(), static_cast<sf_count_t>(values)) ==
                  static_cast<sf_count_t>(values);
        if (progress)
            progress("Musica", static_cast<std::uint64_t>(sector + count),
                     static_cast<std::uint64_t>(end));
    }
    written = sf_close(out) == 0 && written;
    if (!written) {
        error = "non si può scrivere la musica in " + file + " (spazio esaurito?)";
        return false;
    }
    if (unreadable > 0) {
        report.notes.push_back(std::to_string(unreadable) +
                               " settori del disco non si sono potuti leggere: nello spettacolo "
                               "sono silenzio");
    }
    return true;
}

// Removes a file when it goes out of scope.
struct TemporaryFile {
    std::string path;
    ~TemporaryFile() {
        if (!path.empty()) std::remove(path.c_str());
    }
};

class Packer {
  public:
    Packer(const PackRequest& request, PackReport& report, const PackProgress& progress)
        : request_(request), report_(report), progress_(progress), paths_(request.root) {}

    bool run(std::string& error) {
        if (!plan(error) || !openMusic(error)) return false;
        if (!writer_.open(request_.output, request_.keepBackup, error)) return false;
        if (!addMembers(error) || !addMusic(error)) return false;
        ShowManifest about;
        about.title =
            request_.title.empty() ? fs::path(request_.script).stem().string() : request_.title;
        about.script = plan_.scriptMember;
        if (disc_) about.disc = kDiscSheetMember;
        if (!writer_.finish(about, error)) return false;
        for (const BundleMember& member : writer_.members()) report_.bytes += member.size;
        report_.members = static_cast<int>(writer_.members().size());
        return true;
    }

  private:
    bool plan(std::string& error) {
        state_.scriptPath = request_.script;
        ScriptLoader loader(state_, paths_);
        if (auto refused = loader.MemorizzaLetturaRiga()) {
            error = "il copione non si può leggere come lo legge il lettore: " + refused->message;
            return false;
        }
        plan_ = planPack(state_, paths_);
        if (!plan_.refused.empty()) {
            error = "il copione nomina file che non possono viaggiare con lo spettacolo:";
            for (const auto& line : plan_.refused) error += "\n  " + line;
            return false;
        }
        report_.missing = plan_.missing;
        if (!plan_.missing.empty() && !request_.allowMissing) {
            error =
                "mancano file che il copione nomina (--allow-missing per impacchettare lo "
                "stesso):";
            for (const auto& line : plan_.missing) error += "\n  " + line;
            return false;
        }
        for (const PackEntry& entry : plan_.entries) {
            std::error_code ec;
            total_ += fs::file_size(entry.source, ec);
        }
        return true;
    }

    bool openMusic(std::string& error) {
        if (!request_.music) return true;
        std::string why;
        disc_ = openDiscSource(request_.disc, why);
        if (!disc_) {
            error = "il disco non si apre: " + why;
            return false;
        }
        for (const std::string& note : disc_->notes) report_.notes.push_back(note);
        std::set<std::string> folded;
        for (const PackEntry& entry : plan_.entries) folded.insert(foldedName(entry.member));
        if (folded.count(foldedName(kDiscSheetMember)) ||
            folded.count(foldedName(kDiscAudioMember))) {
            error = std::string(
                "il copione nomina un file in «quilo-disco», la cartella che lo "
                "spettacolo riserva alla musica");
            return false;
        }
        return true;
    }

    bool addMembers(std::string& error) {
        std::uint64_t before = 0;
        for (const PackEntry& entry : plan_.entries) {
            const auto step = [&](std::uint64_t copied) {
                if (progress_) progress_("File", before + copied, total_);
            };
            if (!writer_.addFile(entry.member, entry.source.string(), error, step)) return false;
            before += writer_.members().back().size;
        }
        return true;
    }

    bool addMusic(std::string& error) {
        if (!disc_) return true;
        TemporaryFile flac{request_.output + ".disco.flac"};
        if (!encodeDisc(*disc_, flac.path, report_, error, progress_)) return false;
        return writer_.addFile(kDiscAudioMember, flac.path, error) &&
               writer_.addBytes(kDiscSheetMember, discCueSheet(disc_->tracks(), "disco.flac"),
                                error);
    }

    const PackRequest& request_;
    PackReport& report_;
    const PackProgress& progress_;
    PathResolver paths_;
    Modulo1 state_;
    PackPlan plan_;
    std::unique_ptr<DiscSource> disc_;
    BundleWriter writer_;
    std::uint64_t total_ = 0;
};

}  // namespace

bool packShow(const PackRequest& request, PackReport& report, std::string& error,
              const PackProgress& progress) {
    return Packer(request, report, progress).run(error);
}

}  // namespace quilo
