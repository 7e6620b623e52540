#include "studio/ScriptDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace quilo {
namespace {

namespace fs = std::filesystem;

std::string utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Each way a script is written: the encodings times the line ends, notes after
// "**" in other ends and encodings, a lone LF inside a CR LF line, no
// terminator, no final line end.
std::vector<std::string> variants() {
    std::vector<std::string> all;
    for (const char* end : {"\r\n", "\n"}) {
        const std::string e = end;
        const std::string utf8 = "01:00:01Citt\xC3\xA0 bella12C" + e + "99 sfondo 0" + e +
                                 "01:00:05Fine15E" + e + "**" + e + "appunti: perch\xE8\r\n";
        all.push_back(utf8);
        all.push_back("\xEF\xBB\xBF" + utf8);
        all.push_back("01:00:01Citt\xE0 bella12C" + e + "**" + e);
        all.push_back(utf16(u"01:00:01Città12C\r\n**\r\nnote\r\n", false) + "x");
        all.push_back(utf16(u"01:00:01Città12C\n**", true));
    }
    all.push_back("01:00:01a\nb12C\r\n**\n");
    all.push_back("01:00:01senza fine12C\r\n01:00:02x");
    all.push_back("");
    return all;
}

TEST(ScriptDocument, WritesBackEveryFileItOpensByteForByte) {
    std::vector<std::string> files = variants();
    const fs::path top = QUILO_SOURCE_DIR;
    for (const fs::path& p : {top / "demo/Allegato/demo.txt", top / "docs/copione/mostra.txt",
                              top / "docs/copione/errori.txt"})
        files.push_back(readFile(p));
    for (const auto& entry : fs::directory_iterator(top / "fuzz/corpus"))
        files.push_back(readFile(entry.path()));
    for (const std::string& bytes : files)
        EXPECT_EQ(ScriptDocument::fromBytes(bytes).bytes(), bytes) << bytes.substr(0, 40);
}

TEST(ScriptDocument, ReadsLinesAsThePlayerDoesAndKeepsTheNotesApart) {
    const auto doc = ScriptDocument::fromBytes("01:00:01a\nb12C\r\n**fine\r\nnota 1\nnota 2\r\n");
    ASSERT_EQ(doc.lineCount(), 2);
    EXPECT_EQ(doc.text(0), "01:00:01a\nb12C");
    EXPECT_EQ(doc.text(1), "**fine");
    EXPECT_TRUE(doc.terminated());
    EXPECT_EQ(doc.noteLines(), (std::vector<std::string>{"nota 1\nnota 2"}));
    EXPECT_EQ(doc.scriptBytes(), "01:00:01a\nb12C\r\n**fine\r\n");
    EXPECT_EQ(ScriptDocument::fromBytes("01:00:01Citt\xE0\r\n**").encoding(),
              TextEncoding::Windows1252);
    // Plain ASCII: CR LF ends make it a Windows file, LF ends a UTF-8 one;
    // either keeps the encoding the session chose for it.
    ScriptDocument windows = ScriptDocument::fromBytes("01:00:01Prova12C\r\n**\r\n");
    EXPECT_EQ(windows.encoding(), TextEncoding::Windows1252);
    EXPECT_EQ(ScriptDocument::fromBytes("01:00:01Prova12C\n**\n").encoding(), TextEncoding::Utf8);
    windows.keepEncoding(TextEncoding::Utf8);
    EXPECT_EQ(windows.encoding(), TextEncoding::Utf8);
    windows.setText(0, "01:00:01Città12C");
    windows.keepEncoding(TextEncoding::Windows1252);
    EXPECT_EQ(windows.encoding(), TextEncoding::Utf8);
}

TEST(ScriptDocument, ChangesExactlyTheEditedLinesBytesInTheFilesEncoding) {
    for (const std::string& bytes : variants()) {
        ScriptDocument doc = ScriptDocument::fromBytes(bytes);
        if (doc.lineCount() < 2) continue;
        ScriptDocument edited = doc;
        edited.setText(0, "01:00:09Però12C");
        const std::string before = doc.bytes();
        const std::string after = edited.bytes();
        // Only the first line's bytes differ: everything after it is the same.
        const std::string rest =
            before.substr(before.find(doc.lines()[0].raw) + doc.lines()[0].raw.size());
        EXPECT_EQ(after.substr(after.size() - rest.size()), rest);
        EXPECT_EQ(ScriptDocument::fromBytes(after).text(0), "01:00:09Però12C");
        edited.setText(0, doc.text(0));  // back as it was: the file's own bytes again
        EXPECT_EQ(edited.bytes(), bytes);
    }
}

TEST(ScriptDocument, InsertsAndRemovesLinesWithTheFilesLineEnds) {
    ScriptDocument doc = ScriptDocument::fromBytes("01:00:01a12C\n**\n");
    doc.insert(1, "01:00:05b12C");
    EXPECT_EQ(doc.bytes(), "01:00:01a12C\n01:00:05b12C\n**\n");
    doc.remove(0);
    EXPECT_EQ(doc.bytes(), "01:00:05b12C\n**\n");
    ScriptDocument fresh = ScriptDocument::empty(TextEncoding::Windows1252, true);
    fresh.insert(0, "01:00:01Città12C");
    fresh.insert(1, "**");
    EXPECT_EQ(fresh.bytes(), std::string("01:00:01Citt\xE0"
                                         "12C\r\n**\r\n"));
}

TEST(ScriptDocument, NamesALineItsCodePageCannotWriteUntilSavedAsUtf8) {
    ScriptDocument doc = ScriptDocument::fromBytes("01:00:01Citt\xE0 12C\r\n**\r\nnota \xE8\r\n");
    doc.setText(0, "01:00:01€ ok12C");  // in Windows-1252
    EXPECT_FALSE(doc.firstUnwritable());
    doc.setText(0, "01:00:01Ελλάδα12C");
    EXPECT_EQ(doc.firstUnwritable(), 0);
    doc.convertToUtf8();
    EXPECT_FALSE(doc.firstUnwritable());
    // The notes are nobody's to read: their bytes stay.
    EXPECT_EQ(doc.bytes(), "01:00:01Ελλάδα12C\r\n**\r\nnota \xE8\r\n");
}

}  // namespace
}  // namespace quilo
