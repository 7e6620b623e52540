#include "studio/io/SafeWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace quilo {
namespace {

std::string why(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "non si ha il permesso di scrivere nella cartella";
        case EROFS:
            return "il disco è di sola lettura";
        case ENOSPC:
        case EDQUOT:
            return "il disco è pieno";
        case ENOENT:
        case ENOTDIR:
            return "la cartella non esiste";
        case EIO:
            return "errore del disco";
        default:
            return "errore " + std::to_string(error);
    }
}

}  // namespace

std::optional<std::string> writeReplacing(const std::string& path, const std::string& bytes,
                                          bool keepBackup) {
    // A file its owner made read-only stays as it is; one replaced keeps its mode.
    struct stat existing {};
    const bool replacing = ::stat(path.c_str(), &existing) == 0;
    if (replacing && !S_ISREG(existing.st_mode)) return "non è un file normale";
    // No write bit at all means read-only, even for root, who may write anyway.
    if (replacing && ((existing.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0))
        return errno == EROFS ? why(EROFS) : "il file è di sola lettura";
    const std::string temporary = path + ".salvataggio";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return why(errno);
    if (replacing) ::fchmod(fd, existing.st_mode & 07777);
    std::size_t written = 0;
    int error = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return why(error);
    }
    std::error_code ec;
    if (keepBackup && std::filesystem::is_regular_file(path, ec)) {
        std::filesystem::copy_file(path, path + ".bak",
                                   std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) {
            ::unlink(temporary.c_str());
            return "la copia di sicurezza " + path + ".bak non si può scrivere (" +
                   why(ec.value()) + ")";
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        return why(renameError);
    }
    return std::nullopt;
}

}  // namespace quilo
