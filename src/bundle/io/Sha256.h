#pragma once
// SHA-256 over bytes fed in pieces (nettle), for the hashes a show file's
// list gives: files are hashed as they stream, never held whole.

#include <nettle/sha2.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace quilo {

class Sha256 {
  public:
    Sha256() { sha256_init(&context_); }
    void add(const void* bytes, std::size_t size) {
        sha256_update(&context_, size, static_cast<const std::uint8_t*>(bytes));
    }
    // The digest in lower-case hex; the object starts over afterwards.
    std::string hex() {
        std::uint8_t digest[SHA256_DIGEST_SIZE];
        sha256_digest(&context_, sizeof digest, digest);
        static const char kDigits[] = "0123456789abcdef";
        std::string text;
        for (const std::uint8_t byte : digest) {
            text += kDigits[byte >> 4];
            text += kDigits[byte & 15];
        }
        return text;
    }

    static std::string of(std::string_view bytes) {
        Sha256 hash;
        hash.add(bytes.data(), bytes.size());
        return hash.hex();
    }

  private:
    sha256_ctx context_;
};

}  // namespace quilo
