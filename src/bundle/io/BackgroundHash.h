#pragma once
// SHA-256 of a file's blocks on a thread of its own, while the caller
// compresses and writes them: a show's photos are copied at the speed of
// the slower of the two, not of both one after the other. Blocks are hashed
// in the order given; a block handed over must stay untouched until the
// next one is handed over (or `hex` is asked for), so two buffers taken in
// turn are enough.

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "bundle/io/Sha256.h"

namespace quilo {

class BackgroundHash {
  public:
    BackgroundHash() : thread_([this] { run(); }) {}
    ~BackgroundHash() {
        {
            std::lock_guard<std::mutex> hold(lock_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    BackgroundHash(const BackgroundHash&) = delete;
    BackgroundHash& operator=(const BackgroundHash&) = delete;

    // Waits until the previous block is hashed, then hands this one over.
    void add(const char* bytes, std::size_t size) {
        std::unique_lock<std::mutex> hold(lock_);
        changed_.wait(hold, [this] { return !pending_; });
        bytes_ = bytes;
        size_ = size;
        pending_ = true;
        changed_.notify_all();
    }

    // The digest of every block so far; the hash then starts over.
    std::string hex() {
        std::unique_lock<std::mutex> hold(lock_);
        changed_.wait(hold, [this] { return !pending_; });
        return hash_.hex();
    }

  private:
    void run() {
        std::unique_lock<std::mutex> hold(lock_);
        for (;;) {
            changed_.wait(hold, [this] { return pending_ || stopping_; });
            if (!pending_) return;
            const char* bytes = bytes_;
            const std::size_t size = size_;
            hold.unlock();
            hash_.add(bytes, size);
            hold.lock();
            pending_ = false;
            changed_.notify_all();
        }
    }

    std::mutex lock_;
    std::condition_variable changed_;
    Sha256 hash_;
    const char* bytes_ = nullptr;
    std::size_t size_ = 0;
    bool pending_ = false;
    bool stopping_ = false;
    std::thread thread_;  // last: started once everything above exists
};

}  // namespace quilo
