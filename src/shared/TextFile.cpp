#include "shared/TextFile.h"

#include <iconv.h>

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "shared/Utf8.h"

namespace quilo {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

void appendLatin1(std::string& out, unsigned char byte) {
    out += static_cast<char>(0xC0 | (byte >> 6));
    out += static_cast<char>(0x80 | (byte & 0x3F));
}

class Converter {
  public:
    Converter() : cd_(iconv_open("UTF-8", "WINDOWS-1252")) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("iconv cannot convert from WINDOWS-1252");
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::string convert(std::string_view bytes) {
        std::string out;
        out.reserve(bytes.size() + bytes.size() / 4);
        char buffer[4096];
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno == EILSEQ) {
                appendLatin1(out, static_cast<unsigned char>(*in));  // an undefined byte
                ++in;
                --inLeft;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

  private:
    iconv_t cd_;
};

}  // namespace

std::string windows1252ToUtf8(std::string_view bytes) {
    Converter converter;
    return converter.convert(bytes);
}

std::string decodeTextBytes(std::string_view bytes) {
    if (utf8::isValid(bytes)) {
        if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
        return std::string(bytes);
    }
    return windows1252ToUtf8(bytes);
}

std::vector<std::string> splitTextLines(std::string_view text) {
    const bool splitAtLf = text.find('\r') == std::string_view::npos;
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || (splitAtLf && c == '\n')) {
            lines.push_back(std::move(current));
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

std::optional<std::string> readWholeFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(bytes).str();
}

}  // namespace quilo
