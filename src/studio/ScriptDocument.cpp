#include "studio/ScriptDocument.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "shared/TextFile.h"
#include "shared/Utf8.h"

namespace quilo {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The length of the line end at `i` (0 when none stands there).
std::size_t endLength(const TextUnits& u, std::size_t i, bool lfEndsLines) {
    if (i >= u.size()) return 0;
    if (u[i] == '\r') return i + 1 < u.size() && u[i + 1] == '\n' ? 2 : 1;
    return u[i] == '\n' && lfEndsLines ? 1 : 0;
}

std::string utf8ToWindows1252(std::string_view text, bool& ok) {
    iconv_t cd = iconv_open("WINDOWS-1252", "UTF-8");
    ok = cd != reinterpret_cast<iconv_t>(-1);
    std::string out;
    if (!ok) return out;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* at = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &in, &inLeft, &at, &outLeft);
        out.append(buffer, static_cast<std::size_t>(at - buffer));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            ok = false;  // a character the code page lacks: skip it
            ++in;
            --inLeft;
            while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) ++in, --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

void appendUtf16(std::string& out, std::uint32_t unit, bool bigEndian) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? std::string{high, low} : std::string{low, high};
}

std::string utf8ToUtf16(std::string_view text, bool bigEndian) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t n = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        std::uint32_t c = n == 1 ? byte : n == 2 ? byte & 0x1F : n == 3 ? byte & 0x0F : byte & 0x07;
        for (std::size_t k = 1; k < n && i + k < text.size(); ++k)
            c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += n;
        if (c >= 0x10000) {
            c -= 0x10000;
            appendUtf16(out, 0xD800 + (c >> 10), bigEndian);
            appendUtf16(out, 0xDC00 + (c & 0x3FF), bigEndian);
        } else {
            appendUtf16(out, c, bigEndian);
        }
    }
    return out;
}

bool isUtf16(TextEncoding e) {
    return e == TextEncoding::Utf16Le || e == TextEncoding::Utf16Be;
}

}  // namespace

ScriptDocument ScriptDocument::fromBytes(std::string_view bytes) {
    ScriptDocument doc;
    TextUnits u{bytes};
    if (const auto bigEndian = utf16BigEndian(bytes)) {
        doc.encoding_ = *bigEndian ? TextEncoding::Utf16Be : TextEncoding::Utf16Le;
        doc.mark_ = std::string(bytes.substr(0, 2));
        u = TextUnits{bytes.substr(2, (bytes.size() - 2) / 2 * 2), 2, *bigEndian};
    } else if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        doc.mark_ = std::string(kUtf8Mark);
        u = TextUnits{bytes.substr(kUtf8Mark.size())};
    }
    // The lines up to the terminator's, by the rules the loader reads them by.
    const ScriptExtent extent = scriptExtent(u);
    const bool crLines = extent.crLines;
    const auto start = extent.terminator;
    if (!isUtf16(doc.encoding_)) {
        const bool utf8 = utf8::isValid(u.slice(0, start ? *start : u.size()));
        doc.encoding_ = !utf8               ? TextEncoding::Windows1252
                        : doc.mark_.empty() ? TextEncoding::Utf8
                                            : TextEncoding::Utf8WithMark;
    }
    std::size_t i = 0, lineStart = 0;
    while (i < u.size()) {
        const std::size_t end = endLength(u, i, !crLines);
        if (end == 0) {
            ++i;
            continue;
        }
        doc.lines_.push_back(
            {"", std::string(u.slice(lineStart, i)), std::string(u.slice(i, i + end))});
        const bool wasTerminator = start && lineStart == *start;
        i += end;
        lineStart = i;
        if (wasTerminator) break;
    }
    if (lineStart < u.size() && !(start && lineStart > *start)) {
        doc.lines_.push_back({"", std::string(u.slice(lineStart, u.size())), ""});
        lineStart = u.size();
    }
    doc.notes_ = std::string(u.slice(lineStart, u.size()));
    if (doc.encoding_ == TextEncoding::Utf16Le || doc.encoding_ == TextEncoding::Utf16Be)
        doc.notes_ += std::string(bytes.substr(2 + u.bytes.size()));  // half a unit at the end
    for (DocumentLine& line : doc.lines_) line.text = doc.decode(line.raw);
    for (const DocumentLine& line : doc.lines_) {
        if (!line.end.empty()) {
            doc.usualEnd_ = line.end;
            break;
        }
    }
    if (doc.usualEnd_.empty())
        doc.usualEnd_ = doc.encode(crLines || !extent.terminatorBehindLf ? "\r\n" : "\n");
    // Plain ASCII reads alike in both; its CR LF ends say it comes from Windows.
    if (doc.isAscii() && doc.usualEnd_ == "\r\n") doc.encoding_ = TextEncoding::Windows1252;
    return doc;
}

ScriptDocument ScriptDocument::empty(TextEncoding encoding, bool crLf) {
    ScriptDocument doc;
    doc.encoding_ = encoding;
    if (encoding == TextEncoding::Utf8WithMark) doc.mark_ = std::string(kUtf8Mark);
    if (encoding == TextEncoding::Utf16Le) doc.mark_ = "\xFF\xFE";
    if (encoding == TextEncoding::Utf16Be) doc.mark_ = "\xFE\xFF";
    doc.usualEnd_ = doc.encode(crLf ? "\r\n" : "\n");
    return doc;
}

std::string ScriptDocument::decode(std::string_view raw) const {
    switch (encoding_) {
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return utf16ToUtf8(raw, encoding_ == TextEncoding::Utf16Be);
        case TextEncoding::Utf8:
        case TextEncoding::Utf8WithMark:
            if (utf8::isValid(raw)) return std::string(raw);
            break;  // the notes on the "**" line may be in another encoding
        case TextEncoding::Windows1252:
            break;
    }
    return windows1252ToUtf8(raw);
}

std::string ScriptDocument::encode(std::string_view text) const {
    bool ok = true;
    switch (encoding_) {
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return utf8ToUtf16(text, encoding_ == TextEncoding::Utf16Be);
        case TextEncoding::Utf8:
        case TextEncoding::Utf8WithMark:
            return std::string(text);
        case TextEncoding::Windows1252:
            break;
    }
    return utf8ToWindows1252(text, ok);
}

std::vector<std::string> ScriptDocument::noteLines() const {
    return notes_.empty() ? std::vector<std::string>{} : splitTextLines(decode(notes_));
}

bool ScriptDocument::terminated() const {
    return !lines_.empty() && lines_.back().text.compare(0, 2, "**") == 0;
}

bool ScriptDocument::isAscii() const {
    if (!mark_.empty() || isUtf16(encoding_)) return false;
    const auto ascii = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    return std::all_of(lines_.begin(), lines_.end(),
                       [&](const DocumentLine& line) { return ascii(line.text); });
}

void ScriptDocument::keepEncoding(TextEncoding encoding) {
    if (isAscii() && (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Windows1252))
        encoding_ = encoding;
}

void ScriptDocument::setText(int line, std::string text) {
    DocumentLine& l = lines_.at(std::size_t(line));
    l.edited = l.fresh || text != decode(l.raw);
    l.text = std::move(text);
}

void ScriptDocument::insert(int before, std::string text) {
    const auto at = static_cast<std::size_t>(std::clamp(before, 0, lineCount()));
    if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = usualEnd_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                  DocumentLine{std::move(text), "", usualEnd_, true, true});
}

void ScriptDocument::remove(int line) {
    lines_.erase(lines_.begin() + line);
}

std::optional<int> ScriptDocument::firstUnwritable() const {
    if (encoding_ != TextEncoding::Windows1252) return std::nullopt;
    for (int i = 0; i < lineCount(); ++i) {
        bool ok = true;
        if (lines_[std::size_t(i)].edited) utf8ToWindows1252(lines_[std::size_t(i)].text, ok);
        if (!ok) return i;
    }
    return std::nullopt;
}

void ScriptDocument::convertToUtf8() {
    std::vector<std::string> ends;
    for (const DocumentLine& line : lines_) ends.push_back(decode(line.end));
    const std::string usual = decode(usualEnd_);
    encoding_ = TextEncoding::Utf8;
    mark_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        lines_[i].end = ends[i];
        lines_[i].raw.clear();
        lines_[i].edited = true;
        lines_[i].fresh = true;
    }
    usualEnd_ = usual;
}

std::string ScriptDocument::bytes() const {
    std::string out = mark_;
    for (const DocumentLine& line : lines_)
        out += (line.edited ? encode(line.text) : line.raw) + line.end;
    return out + notes_;
}

std::string ScriptDocument::scriptBytes() const {
    std::string out;
    for (const DocumentLine& line : lines_) out += line.text + "\r\n";
    return out;
}

}  // namespace quilo
