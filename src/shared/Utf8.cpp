#include "shared/Utf8.h"

#include <cstdint>

namespace quilo::utf8 {
namespace {

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Byte offset of the character with 0-based index `index`, or text.size().
std::size_t offsetOf(std::string_view text, std::size_t index) {
    std::size_t pos = 0;
    while (index > 0 && pos < text.size()) {
        ++pos;
        while (pos < text.size() && isContinuation(static_cast<unsigned char>(text[pos]))) ++pos;
        --index;
    }
    return pos;
}

}  // namespace

std::size_t length(std::string_view text) {
    std::size_t n = 0;
    for (char c : text) {
        if (!isContinuation(static_cast<unsigned char>(c))) ++n;
    }
    return n;
}

std::string mid(std::string_view text, std::size_t from, std::size_t count) {
    if (from == 0) from = 1;
    const std::size_t begin = offsetOf(text, from - 1);
    if (count == std::string::npos) return std::string(text.substr(begin));
    const std::size_t end = begin + offsetOf(text.substr(begin), count);
    return std::string(text.substr(begin, end - begin));
}

std::string left(std::string_view text, std::size_t count) {
    return std::string(text.substr(0, offsetOf(text, count)));
}

std::string right(std::string_view text, std::size_t count) {
    const std::size_t n = length(text);
    if (count >= n) return std::string(text);
    return std::string(text.substr(offsetOf(text, n - count)));
}

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    }
    return out;
}

bool isValid(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        std::uint32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= bytes.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + k]);
            if (!isContinuation(cc)) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

}  // namespace quilo::utf8
