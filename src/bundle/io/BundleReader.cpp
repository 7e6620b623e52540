#include "bundle/io/BundleReader.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <vector>

#include "bundle/MemberName.h"
#include "bundle/io/Sha256.h"
#include "shared/RegularFile.h"

namespace quilo {
namespace {

constexpr std::size_t kBlock = 256u << 10;
// A zip may hold folder entries besides the files; no more than this in all.
constexpr std::size_t kMaxEntries = 2 * kMaxMembers + 1;
// A member expanding more than this many times from its compressed bytes,
// once past a size no script's text reaches, is taken for a bomb.
constexpr std::int64_t kMaxRatio = 200;
constexpr std::uint64_t kRatioFloor = 64u << 20;

// One open show file: a regular file read as a zip through its central
// directory, and nothing else (no other format, no filters).
class ZipFile {
  public:
    ZipFile(const std::string& path, std::string& error) {
        FileProblem problem = FileProblem::None;
        fd_ = openRegularFile(path, problem);
        if (fd_ < 0) {
            error = path + ": " + describeProblem(problem);
            return;
        }
        archive_ = archive_read_new();
        archive_read_support_format_zip_seekable(archive_);
        if (archive_read_open_fd(archive_, fd_, kBlock) != ARCHIVE_OK) {
            error = path + " non è uno spettacolo di Quilo (non è un archivio zip leggibile)";
            close();
        }
    }
    ~ZipFile() { close(); }
    ZipFile(const ZipFile&) = delete;
    ZipFile& operator=(const ZipFile&) = delete;

    archive* get() const { return archive_; }

  private:
    void close() {
        if (archive_) archive_read_free(archive_);
        if (fd_ >= 0) ::close(fd_);
        archive_ = nullptr;
        fd_ = -1;
    }
    archive* archive_ = nullptr;
    int fd_ = -1;
};

// Why an entry cannot be read as a member; empty when it can. `name` gets
// its name.
std::string entryProblem(archive_entry* entry, std::string& name) {
    const char* utf8 = archive_entry_pathname_utf8(entry);
    const char* raw = archive_entry_pathname(entry);
    name = utf8 ? utf8 : raw ? raw : "";
    if (!utf8) return "un file con un nome che non è UTF-8";
    if (archive_entry_hardlink(entry) || archive_entry_symlink(entry))
        return "un collegamento (" + name + ")";
    const auto type = archive_entry_filetype(entry);
    if (type == AE_IFDIR) {
        if (!name.empty() && name.back() == '/') name.pop_back();
        const std::string why = memberNameProblem(name);
        return why.empty() ? std::string() : why + " (" + name + ")";
    }
    if (type != AE_IFREG) return "un file che non è un file regolare (" + name + ")";
    const std::string why = memberNameProblem(name);
    return why.empty() ? std::string() : why + " (" + name + ")";
}

// Where a member's bytes go: a new file under the folder, or nowhere.
class MemberSink {
  public:
    MemberSink(const std::string& folder, const std::string& member, std::string& error) {
        if (folder.empty()) return;
        const std::filesystem::path file = std::filesystem::path(folder) / member;
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
        fd_ = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd_ < 0) error = "non si può scrivere " + file.string();
    }
    ~MemberSink() {
        if (fd_ >= 0) ::close(fd_);
    }
    MemberSink(const MemberSink&) = delete;
    MemberSink& operator=(const MemberSink&) = delete;

    bool write(const char* bytes, std::size_t size) {
        while (fd_ >= 0 && size > 0) {
            const ssize_t done = ::write(fd_, bytes, size);
            if (done <= 0) return false;
            bytes += done;
            size -= static_cast<std::size_t>(done);
        }
        return true;
    }

  private:
    int fd_ = -1;
};

class MemberReading {
  public:
    MemberReading(archive* a, const ShowManifest& manifest, const std::string& folder,
                  const ReadProgress& progress)
        : a_(a),
          manifest_(manifest),
          folder_(folder),
          progress_(progress),
          total_(manifest.totalBytes()) {}

    bool run(std::string& error) {
        archive_entry* entry = nullptr;
        std::size_t entries = 0;
        int status = ARCHIVE_OK;
        while ((status = archive_read_next_header(a_, &entry)) == ARCHIVE_OK) {
            if (++entries > kMaxEntries) return fail(error, "contiene troppi file");
            std::string name;
            const std::string why = entryProblem(entry, name);
            if (!why.empty()) return fail(error, "contiene " + why);
            if (archive_entry_filetype(entry) == AE_IFDIR) continue;
            if (!folded_.insert(foldedName(name)).second)
                return fail(error, "contiene due volte " + name + " (maiuscole a parte)");
            if (name == kManifestName) continue;
            const BundleMember* member = manifest_.find(name);
            if (!member) return fail(error, "contiene " + name + ", che il suo elenco non nomina");
            if (!readMember(entry, *member, error)) return false;
            ++found_;
        }
        if (status != ARCHIVE_EOF) return fail(error, "è troncato o danneggiato");
        if (folded_.count(kManifestName) == 0)
            return fail(error, "non ha il suo elenco (show.json)");
        if (found_ != manifest_.members.size())
            return fail(error, "non contiene tutti i file del suo elenco (" + firstMissing() + ")");
        return true;
    }

  private:
    bool fail(std::string& error, const std::string& what) {
        error = "lo spettacolo " + what;
        return false;
    }

    std::string firstMissing() const {
        for (const BundleMember& m : manifest_.members) {
            if (folded_.count(foldedName(m.path)) == 0) return m.path;
        }
        return {};
    }

    bool readMember(archive_entry* entry, const BundleMember& member, std::string& error) {
        if (archive_entry_size_is_set(entry) &&
            static_cast<std::uint64_t>(archive_entry_size(entry)) != member.size)
            return fail(error, "dà a " + member.path + " una grandezza diversa dal suo elenco");
        std::string sinkError;
        MemberSink sink(folder_, member.path, sinkError);
        if (!sinkError.empty()) {
            error = sinkError;
            return false;
        }
        const la_int64_t rawAtStart = archive_filter_bytes(a_, -1);
        std::vector<char> block(kBlock);
        Sha256 hash;
        std::uint64_t size = 0;
        for (;;) {
            const la_ssize_t got = archive_read_data(a_, block.data(), block.size());
            if (got < 0) return fail(error, "è danneggiato (" + member.path + ")");
            if (got == 0) break;
            size += static_cast<std::uint64_t>(got);
            if (size > member.size)
                return fail(error,
                            "ha " + member.path + " più grande di quanto dice il suo elenco");
            if (looksLikeBomb(size, rawAtStart))
                return fail(error,
                            "ha " + member.path + " compresso in modo sospetto (una \"bomba\")");
            hash.add(block.data(), static_cast<std::size_t>(got));
            if (!sink.write(block.data(), static_cast<std::size_t>(got))) {
                error = "spazio esaurito o errore di scrittura per " + member.path;
                return false;
            }
            done_ += static_cast<std::uint64_t>(got);
            if (progress_) progress_(done_, total_);
        }
        if (size != member.size)
            return fail(error, "ha " + member.path + " più piccolo di quanto dice il suo elenco");
        if (hash.hex() != member.sha256)
            return fail(error, "ha " + member.path +
                                   " diverso da quello del suo elenco (impronta SHA-256)");
        return true;
    }

    bool looksLikeBomb(std::uint64_t size, la_int64_t rawAtStart) const {
        if (size < kRatioFloor) return false;
        const la_int64_t raw = archive_filter_bytes(a_, -1) - rawAtStart;
        return raw >= 0 && static_cast<std::int64_t>(size) >
                               kMaxRatio * (raw + static_cast<std::int64_t>(kBlock));
    }

    archive* a_;
    const ShowManifest& manifest_;
    const std::string& folder_;
    const ReadProgress& progress_;
    const std::uint64_t total_;
    std::set<std::string> folded_;
    std::size_t found_ = 0;
    std::uint64_t done_ = 0;
};

}  // namespace

std::optional<ShowManifest> readShowManifest(const std::string& path, std::string& error,
                                             std::string* listBytes) {
    ZipFile zip(path, error);
    if (!zip.get()) return std::nullopt;
    archive_entry* entry = nullptr;
    for (std::size_t n = 0; n < kMaxEntries; ++n) {
        const int status = archive_read_next_header(zip.get(), &entry);
        if (status == ARCHIVE_EOF) break;
        if (status != ARCHIVE_OK) {
            error = "lo spettacolo " + path + " è troncato o danneggiato";
            return std::nullopt;
        }
        const char* name = archive_entry_pathname_utf8(entry);
        if (!name || std::string(name) != kManifestName ||
            archive_entry_filetype(entry) != AE_IFREG)
            continue;
        std::string bytes;
        std::vector<char> block(kBlock);
        la_ssize_t got = 0;
        while ((got = archive_read_data(zip.get(), block.data(), block.size())) > 0) {
            bytes.append(block.data(), static_cast<std::size_t>(got));
            if (bytes.size() > kMaxManifestBytes) break;
        }
        if (got < 0) {
            error = "lo spettacolo " + path + " è danneggiato (show.json)";
            return std::nullopt;
        }
        auto manifest = parseManifest(bytes, error);
        if (manifest && listBytes) *listBytes = std::move(bytes);
        return manifest;
    }
    error = path + " non è uno spettacolo di Quilo: manca il suo elenco (show.json)";
    return std::nullopt;
}

bool readShowMembers(const std::string& path, const ShowManifest& manifest,
                     const std::string& folder, std::string& error, const ReadProgress& progress) {
    ZipFile zip(path, error);
    if (!zip.get()) return false;
    return MemberReading(zip.get(), manifest, folder, progress).run(error);
}

}  // namespace quilo
