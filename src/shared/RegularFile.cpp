#include "shared/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace quilo {
namespace {

constexpr std::size_t kChunkBytes = 256 * 1024;

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

int openRegularFile(const std::string& path, FileProblem& problem) {
    // O_NONBLOCK: opening a FIFO with no writer would otherwise wait forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        problem =
            errno == ENOENT || errno == ENOTDIR ? FileProblem::Missing : FileProblem::Unreadable;
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        problem = S_ISDIR(info.st_mode) ? FileProblem::Unreadable : FileProblem::NotRegular;
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    problem = FileProblem::None;
    return fd;
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

FileProblem readRegularFile(const std::string& path, std::size_t limit, std::string& bytes,
                            const std::function<bool(std::string_view)>& enough) {
    bytes.clear();
    FileProblem problem = FileProblem::None;
    const Descriptor fd(openRegularFile(path, problem));
    if (fd.get() < 0) return problem;
    try {
        while (true) {
            const std::size_t had = bytes.size();
            // One byte past the limit tells a file of exactly `limit` bytes
            // from a longer one.
            const std::size_t want = std::min(kChunkBytes, limit + 1 - had);
            bytes.resize(had + want);
            const ssize_t got = ::read(fd.get(), bytes.data() + had, want);
            if (got < 0 && errno == EINTR) {
                bytes.resize(had);
                continue;
            }
            if (got < 0) return FileProblem::Unreadable;
            bytes.resize(had + static_cast<std::size_t>(got));
            if (got == 0) return FileProblem::None;
            if (enough && enough(bytes)) return FileProblem::None;
            if (bytes.size() > limit) {
                bytes.clear();
                return FileProblem::TooLarge;
            }
        }
    } catch (const std::bad_alloc&) {
        bytes.clear();
        bytes.shrink_to_fit();
        return FileProblem::TooLarge;
    }
}

std::string describeProblem(FileProblem problem) {
    switch (problem) {
        case FileProblem::None:
            return "";
        case FileProblem::Missing:
            return "non esiste";
        case FileProblem::NotRegular:
            return "non è un file regolare";
        case FileProblem::TooLarge:
            return "è troppo grande";
        case FileProblem::Unreadable:
            break;
    }
    return "non si può leggere";
}

}  // namespace quilo
