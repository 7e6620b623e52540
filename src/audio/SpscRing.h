#pragma once
// Bytes handed from one thread to another without a lock: one thread writes
// (the CD's streaming thread), the other reads (the sound graph's real-time
// thread, which must never wait for a lock a lower-priority thread holds,
// or the graph plays silence in its place). The writer may also throw away
// everything written so far (a seek or a stop); the reader then skips it.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quilo {

class SpscRing {
  public:
    explicit SpscRing(std::size_t capacity = 0) : bytes_(capacity) {}

    // Only while no reader runs (before the stream exists).
    void reset(std::size_t capacity) {
        bytes_.assign(capacity, 0);
        written_ = 0;
        read_ = 0;
        discardTo_ = 0;
    }

    std::size_t capacity() const { return bytes_.size(); }

    // Writer: bytes held, not yet read (a reader may be taking some meanwhile).
    std::size_t held() const {
        const std::uint64_t gone = std::max(read_.load(std::memory_order_acquire),
                                            discardTo_.load(std::memory_order_relaxed));
        return static_cast<std::size_t>(written_.load(std::memory_order_relaxed) - gone);
    }

    // Writer: copies in as much of `data` as fits under `limit` bytes held.
    std::size_t write(const std::uint8_t* data, std::size_t size, std::size_t limit) {
        const std::uint64_t at = written_.load(std::memory_order_relaxed);
        const std::size_t room = std::min(limit, capacity()) - std::min(limit, held());
        const std::size_t n = std::min(size, room);
        for (std::size_t i = 0; i < n;) {
            const std::size_t offset = (at + i) % capacity();
            const std::size_t chunk = std::min(n - i, capacity() - offset);
            std::memcpy(bytes_.data() + offset, data + i, chunk);
            i += chunk;
        }
        written_.store(at + n, std::memory_order_release);
        return n;
    }

    // Writer: what is written so far is not to be read.
    void discard() {
        discardTo_.store(written_.load(std::memory_order_relaxed), std::memory_order_release);
    }

    // Reader: copies out up to `size` bytes.
    std::size_t read(std::uint8_t* out, std::size_t size) {
        std::uint64_t at = read_.load(std::memory_order_relaxed);
        const std::uint64_t skipTo = discardTo_.load(std::memory_order_acquire);
        if (at < skipTo) at = skipTo;
        const std::uint64_t end = written_.load(std::memory_order_acquire);
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, end - at));
        for (std::size_t i = 0; i < n;) {
            const std::size_t offset = (at + i) % capacity();
            const std::size_t chunk = std::min(n - i, capacity() - offset);
            std::memcpy(out + i, bytes_.data() + offset, chunk);
            i += chunk;
        }
        read_.store(at + n, std::memory_order_release);
        return n;
    }

  private:
    std::vector<std::uint8_t> bytes_;
    std::atomic<std::uint64_t> written_{0};    // bytes ever written
    std::atomic<std::uint64_t> read_{0};       // bytes ever read or skipped
    std::atomic<std::uint64_t> discardTo_{0};  // the reader skips to here
};

}  // namespace quilo
