#pragma once
// Reads a file a block at a time on a thread of its own, hashing each block
// (SHA-256) as it is read, while the caller compresses and writes the blocks
// already read: a show's photos are copied at the pace of the slower side,
// not of both one after the other. A few blocks are in flight at most, so
// memory stays small whatever the file's size.

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bundle/io/Sha256.h"

namespace quilo {

class HashingReader {
  public:
    static constexpr std::size_t kBlock = 1u << 20;

    // Reads `size` bytes of the open descriptor `fd` (the caller closes it).
    HashingReader(int fd, std::uint64_t size);
    ~HashingReader();
    HashingReader(const HashingReader&) = delete;
    HashingReader& operator=(const HashingReader&) = delete;

    // The next block read; empty at the end. The block given before goes
    // back to be filled again.
    std::string_view next();
    // Whether exactly `size` bytes were read (not fewer: the file shrank or
    // could not be read; not more: it grew).
    bool whole() const { return read_ == size_ && !grew_; }
    // The hash of what was read; only once `next` has said the end.
    std::string hex() { return hash_.hex(); }

  private:
    static constexpr int kBuffers = 3;
    void run();

    const int fd_;
    const std::uint64_t size_;
    std::array<std::vector<char>, kBuffers> buffers_;
    std::array<std::size_t, kBuffers> filled_{};
    std::deque<int> free_;
    std::deque<int> full_;
    int lent_ = -1;  // the block the caller holds
    bool ended_ = false;
    bool stopping_ = false;
    bool grew_ = false;
    std::uint64_t read_ = 0;
    Sha256 hash_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::thread thread_;  // last: started once everything above exists
};

}  // namespace quilo
