#include "bundle/io/BundleWriter.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "bundle/MemberName.h"
#include "bundle/io/HashingReader.h"
#include "bundle/io/Sha256.h"
#include "shared/RegularFile.h"
#include "shared/Utf8.h"

namespace quilo {
namespace {

constexpr std::size_t kBlock = 1u << 20;

std::string extensionOf(std::string_view member) {
    const auto dot = member.rfind('.');
    const auto slash = member.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return utf8::asciiLower(member.substr(dot + 1));
}

std::string libraryError(archive* a) {
    const char* text = archive_error_string(a);
    return text ? text : "errore sconosciuto";
}

}  // namespace

bool isCompressedMedia(std::string_view member) {
    static const char* const kCompressed[] = {"jpg",  "jpeg", "png", "gif",  "webp",
                                              "flac", "mp3",  "ogg", "oga",  "opus",
                                              "m4a",  "aac",  "zip", "quilo"};
    const std::string ext = extensionOf(member);
    for (const char* known : kCompressed) {
        if (ext == known) return true;
    }
    return false;
}

BundleWriter::~BundleWriter() {
    abandon();
}

void BundleWriter::abandon() {
    if (archive_) archive_write_free(archive_);
    if (fd_ >= 0) {
        ::close(fd_);
        std::remove(partial_.c_str());
    }
    archive_ = nullptr;
    fd_ = -1;
}

bool BundleWriter::open(const std::string& path, bool keepBackup, std::string& error) {
    struct stat there {};
    if (::stat(path.c_str(), &there) == 0 && !S_ISREG(there.st_mode)) {
        error = path + " esiste e non è un file regolare";
        return false;
    }
    path_ = path;
    partial_ = path + ".parziale";
    keepBackup_ = keepBackup;
    archive_ = archive_write_new();
    archive_write_set_format_zip(archive_);
    // Large writes: the default 10 KB blocks cost a system call each.
    archive_write_set_bytes_per_block(archive_, static_cast<int>(kBlock));
    archive_write_set_bytes_in_last_block(archive_, 1);
    fd_ = ::open(partial_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0 || archive_write_open_fd(archive_, fd_) != ARCHIVE_OK) {
        error = "non si può scrivere " + partial_;
        abandon();
        return false;
    }
    return true;
}

bool BundleWriter::beginMember(const std::string& member, std::uint64_t size, std::int64_t mtime,
                               std::string& error) {
    const std::string why = memberNameProblem(member);
    if (!why.empty()) {
        error = "il file «" + member + "» ha " + why;
        return false;
    }
    if (isCompressedMedia(member))
        archive_write_zip_set_compression_store(archive_);
    else
        archive_write_zip_set_compression_deflate(archive_);
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname_utf8(entry, member.c_str());
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0644);
    archive_entry_set_size(entry, static_cast<la_int64_t>(size));
    archive_entry_set_mtime(entry, mtime, 0);
    const int status = archive_write_header(archive_, entry);
    archive_entry_free(entry);
    if (status != ARCHIVE_OK) {
        error = "non si può scrivere «" + member + "»: " + libraryError(archive_);
        return false;
    }
    return true;
}

bool BundleWriter::addFile(const std::string& member, const std::string& source, std::string& error,
                           const CopyProgress& progress) {
    FileProblem problem = FileProblem::None;
    const int fd = openRegularFile(source, problem);
    if (fd < 0) {
        error = source + ": " + describeProblem(problem);
        return false;
    }
    // Closed only after the reader's thread has stopped reading it.
    const std::unique_ptr<int, void (*)(int*)> closing(new int(fd), [](int* open) {
        ::close(*open);
        delete open;
    });
    struct stat info {};
    ::fstat(fd, &info);
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > kMaxMemberBytes) {
        error = source + " è troppo grande per uno spettacolo";
        return false;
    }
    if (!beginMember(member, size, info.st_mtime, error)) return false;
    HashingReader reader(fd, size);
    std::uint64_t copied = 0;
    for (std::string_view block = reader.next(); !block.empty(); block = reader.next()) {
        if (archive_write_data(archive_, block.data(), block.size()) !=
            static_cast<la_ssize_t>(block.size())) {
            error = "non si può scrivere «" + member + "»: " + libraryError(archive_);
            return false;
        }
        copied += block.size();
        if (progress) progress(copied);
    }
    if (!reader.whole()) {
        error = source + " è cambiato mentre veniva copiato";
        return false;
    }
    members_.push_back({member, size, reader.hex()});
    return true;
}

bool BundleWriter::addBytes(const std::string& member, std::string_view bytes, std::string& error) {
    if (!beginMember(member, bytes.size(), std::time(nullptr), error)) return false;
    if (!bytes.empty() && archive_write_data(archive_, bytes.data(), bytes.size()) !=
                              static_cast<la_ssize_t>(bytes.size())) {
        error = "non si può scrivere «" + member + "»: " + libraryError(archive_);
        return false;
    }
    members_.push_back({member, bytes.size(), Sha256::of(bytes)});
    return true;
}

bool BundleWriter::finish(const ShowManifest& about, std::string& error) {
    ShowManifest manifest = about;
    manifest.members = members_;
    const std::vector<BundleMember> written = members_;
    if (!addBytes(kManifestName, manifestJson(manifest), error)) return false;
    members_ = written;
    // On disk before it takes the name: a crash never leaves a show file
    // that is only partly written under its own name.
    const bool closed = archive_write_close(archive_) == ARCHIVE_OK && ::fsync(fd_) == 0;
    if (!closed) {
        error = "non si può completare " + path_ + ": " + libraryError(archive_);
        abandon();
        return false;
    }
    archive_write_free(archive_);
    archive_ = nullptr;
    ::close(fd_);
    fd_ = -1;
    struct stat there {};
    if (keepBackup_ && ::stat(path_.c_str(), &there) == 0) {
        const std::string backup = path_ + ".bak";
        std::remove(backup.c_str());
        if (::link(path_.c_str(), backup.c_str()) != 0) {
            error = "non si può tenere la copia " + backup;
            std::remove(partial_.c_str());
            return false;
        }
    }
    if (std::rename(partial_.c_str(), path_.c_str()) != 0) {
        error = "non si può mettere al suo posto " + path_;
        std::remove(partial_.c_str());
        return false;
    }
    return true;
}

}  // namespace quilo
