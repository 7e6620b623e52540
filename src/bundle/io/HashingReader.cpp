#include "bundle/io/HashingReader.h"

#include <unistd.h>

namespace quilo {

HashingReader::HashingReader(int fd, std::uint64_t size) : fd_(fd), size_(size) {
    for (int i = 0; i < kBuffers; ++i) {
        buffers_[i].resize(kBlock);
        free_.push_back(i);
    }
    thread_ = std::thread([this] { run(); });
}

HashingReader::~HashingReader() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void HashingReader::run() {
    for (;;) {
        int buffer = -1;
        {
            std::unique_lock<std::mutex> hold(lock_);
            changed_.wait(hold, [this] { return !free_.empty() || stopping_; });
            if (stopping_) return;
            buffer = free_.front();
            free_.pop_front();
        }
        std::size_t got = 0;
        while (got < kBlock) {
            const ssize_t n = ::read(fd_, buffers_[buffer].data() + got, kBlock - got);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        const bool last = got < kBlock;
        std::size_t kept = got;
        if (read_ + got > size_) {  // the file grew while it was read
            kept = static_cast<std::size_t>(size_ - read_);
            grew_ = true;
        }
        hash_.add(buffers_[buffer].data(), kept);
        std::lock_guard<std::mutex> hold(lock_);
        read_ += kept;
        filled_[buffer] = kept;
        if (kept > 0) full_.push_back(buffer);
        if (last || grew_ || read_ == size_) ended_ = true;
        changed_.notify_all();
        if (ended_) return;
    }
}

std::string_view HashingReader::next() {
    std::unique_lock<std::mutex> hold(lock_);
    if (lent_ >= 0) free_.push_back(lent_);
    lent_ = -1;
    changed_.notify_all();
    changed_.wait(hold, [this] { return !full_.empty() || ended_; });
    if (full_.empty()) return {};
    lent_ = full_.front();
    full_.pop_front();
    return {buffers_[lent_].data(), filled_[lent_]};
}

}  // namespace quilo
