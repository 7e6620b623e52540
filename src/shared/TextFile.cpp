#include "shared/TextFile.h"

#include <iconv.h>

#include <cerrno>

#include <cstdint>
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

namespace {

void appendCodePoint(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    constexpr std::uint32_t kReplacement = 0xFFFD;
    const auto unitAt = [&](std::size_t i) { return utf16Unit(bytes, i, bigEndian); };
    std::string out;
    out.reserve(bytes.size() / 2);
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const std::uint32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                appendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendCodePoint(out, unit >= 0xD800 && unit < 0xE000 ? kReplacement : unit);
    }
    if (i < bytes.size()) appendCodePoint(out, kReplacement);  // half a unit at the end
    return out;
}

std::string decodeTextBytes(std::string_view bytes) {
    if (const auto bigEndian = utf16BigEndian(bytes))
        return utf16ToUtf8(bytes.substr(2), *bigEndian);
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

namespace {

// Where the first line that begins "**" starts. A line starts at the text's
// start and after CR or CR LF; after a lone LF only when `lfEndsLines`.
std::optional<std::size_t> terminatorStart(const TextUnits& u, bool lfEndsLines) {
    bool lineStart = true;
    for (std::size_t i = 0; i < u.size(); ++i) {
        if (lineStart && i + 1 < u.size() && u[i] == '*' && u[i + 1] == '*') return i;
        const std::uint32_t c = u[i];
        lineStart = c == '\r' || (c == '\n' && (lfEndsLines || (i > 0 && u[i - 1] == '\r')));
    }
    return std::nullopt;
}

bool hasCr(const TextUnits& u, std::size_t to) {
    for (std::size_t i = 0; i < to; ++i)
        if (u[i] == '\r') return true;
    return false;
}

enum class LineEnd { None, Cr, CrLf, Lf };

// The first line, 1-based, whose end differs from the first line's, with CR,
// CR LF and LF each ending a line as an editor shows them; 0 when all agree.
int firstUnlikeLineEnd(std::string_view text) {
    LineEnd first = LineEnd::None;
    int line = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        LineEnd end = LineEnd::None;
        if (text[i] == '\n') end = LineEnd::Lf;
        if (text[i] == '\r') {
            end = i + 1 < text.size() && text[i + 1] == '\n' ? LineEnd::CrLf : LineEnd::Cr;
            if (end == LineEnd::CrLf) ++i;
        }
        if (end == LineEnd::None) continue;
        if (first == LineEnd::None) first = end;
        if (end != first) return line;
        ++line;
    }
    return 0;
}

// Text taken as UTF-8 when `utf8` says so and it is valid, else as Windows-1252.
std::string decoded(std::string_view bytes, bool utf8) {
    return utf8 && utf8::isValid(bytes) ? std::string(bytes) : windows1252ToUtf8(bytes);
}

}  // namespace

ScriptExtent scriptExtent(const TextUnits& text) {
    ScriptExtent extent;
    const auto anyEnd = terminatorStart(text, true);
    extent.terminatorBehindLf = anyEnd.has_value();
    extent.crLines = hasCr(text, anyEnd ? *anyEnd : text.size());
    extent.terminator = extent.crLines && anyEnd ? terminatorStart(text, false) : anyEnd;
    return extent;
}

ScriptText readScriptText(std::string_view bytes) {
    std::string wide;  // UTF-16 text, as UTF-8
    bool fromUtf16 = false;
    if (const auto bigEndian = utf16BigEndian(bytes)) {
        wide = utf16ToUtf8(bytes.substr(2), *bigEndian);
        bytes = wide;
        fromUtf16 = true;
    } else if (bytes.substr(0, kBom.size()) == kBom) {
        bytes.remove_prefix(kBom.size());
    }
    ScriptText script;
    script.empty = bytes.empty();
    // CR, CR LF and LF, 8-bit values in both encodings, are found in the bytes.
    const ScriptExtent extent = scriptExtent(TextUnits{bytes});
    const auto start = extent.terminator;
    const bool crLines = extent.crLines;
    if (!start) {
        if (extent.terminatorBehindLf) script.mixedLineEndsFrom = firstUnlikeLineEnd(bytes);
        return script;
    }
    const std::string_view body = bytes.substr(0, *start);
    const std::string_view rest = bytes.substr(*start);
    const std::string_view terminator = rest.substr(0, rest.find_first_of(crLines ? "\r" : "\r\n"));
    const bool utf8 = fromUtf16 || utf8::isValid(body);
    script.lines = splitTextLines(decoded(body, utf8));
    script.lines.push_back(decoded(terminator, utf8));
    // What follows the end line, for the checker: the player never reads it.
    std::string_view after = rest.substr(terminator.size());
    after.remove_prefix(after.substr(0, 2) == "\r\n" ? 2 : std::min<std::size_t>(after.size(), 1));
    std::vector<std::string> tail = splitTextLines(decoded(after, utf8::isValid(after)));
    if (tail.size() > kMostLinesAfterEnd) tail.resize(kMostLinesAfterEnd);
    script.afterEnd = std::move(tail);
    return script;
}

}  // namespace quilo
