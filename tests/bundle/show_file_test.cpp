#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "bundle/DiscSheet.h"
#include "bundle/io/BundleReader.h"
#include "bundle/io/Sha256.h"
#include "bundle/io/ShowCache.h"
#include "bundle/io/ShowPacker.h"
#include "cd/io/DiscSources.h"
#include "support/DiscFiles.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> filesUnder(const fs::path& folder) {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        found.push_back(fs::relative(it->path(), folder).string());
    std::sort(found.begin(), found.end());
    return found;
}

// A show's root: colour file, a script naming a picture in other letter case
// than on disk, a sound and a background.
struct ShowRoot {
    explicit ShowRoot(const std::string& body =
                          "01:00:02foto\\UNO.JPGM\r\n"
                          "01:00:12C:\\Allegato\\din.wavW\r\n") {
        dir.write("Quilo 1.0/colori.txt", "0\r\n0\r\n0\r\n255\r\n255\r\n255\r\n");
        dir.write("Allegato/foto/uno.jpg", std::string(300000, '\x5a'));
        dir.write("Allegato/din.wav", "RIFF....WAVE");
        dir.write("Allegato/sfondo.jpg", "sfondo");
        std::string text = "01:00:01Via12C\r\n";
        for (int i = 0; i < 6; ++i) text += "99 colore    100\r\n";
        text += "99:00:00sfondo.jpgV\r\n" + body + "01:00:30Fine00E\r\n**\r\n";
        script = dir.write("Allegato/show.txt", text).string();
    }
    TempDir dir;
    std::string script;
};

class ShowFileTest : public ::testing::Test {
  protected:
    ShowFileTest() { ::setenv("XDG_CACHE_HOME", cache.path().c_str(), 1); }
    ~ShowFileTest() override { ::unsetenv("XDG_CACHE_HOME"); }

    std::string pack(const ShowRoot& root, const std::string& disc = {}) {
        PackRequest request{root.script, root.dir.path().string(), !disc.empty(), disc,
                            (out.path() / "show.quilo").string()};
        PackReport report;
        std::string error;
        EXPECT_TRUE(packShow(request, report, error)) << error;
        return request.output;
    }
    // The show file could not be opened, and nothing of it was left behind.
    void expectRefused(const std::string& file, const std::string& words) {
        std::string error;
        EXPECT_FALSE(openShowFile(file, error)) << words;
        EXPECT_NE(error.find(words), std::string::npos) << error;
        EXPECT_EQ(filesUnder(showCacheFolder()), std::vector<std::string>{}) << words;
    }
    TempDir cache;
    TempDir out;
};

TEST_F(ShowFileTest, PacksTheNamedFilesAndOpensThemElsewhereOnceUnderTheScriptsNames) {
    const ShowRoot root;
    const std::string file = pack(root);
    std::string error;
    const auto manifest = readShowManifest(file, error);
    ASSERT_TRUE(manifest) << error;
    EXPECT_EQ(manifest->script, "Allegato/show.txt");
    EXPECT_EQ(manifest->title, "show");
    ASSERT_EQ(manifest->members.size(), 5u);
    EXPECT_EQ(manifest->members[3].path, "Allegato/foto/UNO.JPG");
    EXPECT_EQ(manifest->members[3].sha256, Sha256::of(std::string(300000, '\x5a')));
    EXPECT_TRUE(readShowMembers(file, *manifest, "", error)) << error;

    const auto show = openShowFile(file, error);
    ASSERT_TRUE(show) << error;
    EXPECT_FALSE(show->reused);
    EXPECT_EQ(contents(show->script), contents(root.script));
    EXPECT_EQ(contents(fs::path(show->folder) / "Allegato/foto/UNO.JPG"), std::string(300000, 'Z'));
    EXPECT_TRUE(show->disc.empty());
    // Opened again it plays from the same folder; a file changed there since
    // is not trusted, and the show is unpacked afresh.
    EXPECT_TRUE(openShowFile(file, error)->reused);
    std::ofstream(fs::path(show->folder) / "Allegato/din.wav", std::ios::app) << "x";
    const auto again = openShowFile(file, error);
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->reused);
    EXPECT_EQ(contents(fs::path(again->folder) / "Allegato/din.wav"), "RIFF....WAVE");
}

TEST_F(ShowFileTest, SavesTheEditedScriptBackKeepingEveryOtherMemberAsItWas) {
    const ShowRoot root;
    const std::string file = pack(root);
    const std::string before = contents(file);
    std::string error;
    auto show = openShowFile(file, error);
    ASSERT_TRUE(show) << error;
    const ShowManifest old = show->manifest;
    std::ofstream(show->script, std::ios::app) << "commento aggiunto\r\n";
    ASSERT_TRUE(saveShowFile(file, *show, error)) << error;
    EXPECT_EQ(contents(file + ".bak"), before);
    const auto saved = readShowManifest(file, error);
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->members.size(), old.members.size());
    for (std::size_t i = 0; i < old.members.size(); ++i) {
        if (old.members[i].path == old.script)
            EXPECT_NE(saved->members[i], old.members[i]);
        else
            EXPECT_EQ(saved->members[i], old.members[i]);
    }
    const auto reopened = openShowFile(file, error);
    ASSERT_TRUE(reopened) << error;
    EXPECT_EQ(contents(reopened->script), contents(root.script) + "commento aggiunto\r\n");
    // Only one unpacked copy of the show is kept.
    EXPECT_EQ(filesUnder(showCacheFolder()).size(), filesUnder(reopened->folder).size() + 1);

    // A picture newly named and put in the show's folder goes in with the
    // script; one named outside the show refuses the save.
    OpenedShow grown = *reopened;
    std::ofstream(fs::path(grown.folder) / "Allegato/nuova.jpg") << "nuova";
    const auto addLine = [&](const std::string& line) {
        std::string text = contents(grown.script);
        text.insert(text.rfind("**"), line + "\r\n");
        std::ofstream(grown.script, std::ios::binary) << text;
    };
    addLine("02:00:01nuova.jpgM");
    ASSERT_TRUE(saveShowFile(file, grown, error)) << error;
    EXPECT_TRUE(grown.manifest.find("Allegato/nuova.jpg"));
    const std::string lastGood = contents(grown.script);
    addLine("02:00:09/etc/passwdM");
    EXPECT_FALSE(saveShowFile(file, grown, error));
    EXPECT_NE(error.find("fuori dallo spettacolo"), std::string::npos) << error;
    std::ofstream(grown.script, std::ios::binary) << lastGood;

    // A picture changed behind the author's back does not go in.
    std::ofstream(fs::path(reopened->folder) / "Allegato/sfondo.jpg") << "altro";
    OpenedShow changed = grown;
    const std::string good = contents(file);
    EXPECT_FALSE(saveShowFile(file, changed, error));
    EXPECT_NE(error.find("sfondo.jpg"), std::string::npos) << error;
    EXPECT_EQ(contents(file), good);
}

TEST_F(ShowFileTest, RefusesToPackAScriptWithMissingFilesUnlessToldAndListsEveryOne) {
    const ShowRoot root("01:00:02manca.jpgM\r\n01:00:12C:\\Allegato\\anche.wavW\r\n");
    PackRequest request{
        root.script, root.dir.path().string(), false, {}, (out.path() / "show.quilo").string()};
    PackReport report;
    std::string error;
    EXPECT_FALSE(packShow(request, report, error));
    EXPECT_NE(error.find("manca.jpg"), std::string::npos);
    EXPECT_NE(error.find("anche.wav"), std::string::npos);
    EXPECT_FALSE(fs::exists(request.output));
    request.allowMissing = true;
    EXPECT_TRUE(packShow(request, report, error)) << error;
    EXPECT_EQ(report.missing.size(), 2u);
    EXPECT_EQ(report.members, 3);  // the script, the colours, the background
}

TEST_F(ShowFileTest, CarriesTheDiscsOwnTableOfContentsInOneFlac) {
    // A raw image whose first track starts after a two-second pregap.
    TempDir discDir;
    std::vector<std::int16_t> samples = testing::toneTrack(1, 150 + 300);
    const auto two = testing::toneTrack(2, 160);
    samples.insert(samples.end(), two.begin(), two.end());
    testing::writeBytes(discDir.path() / "disc.bin", testing::littleEndian(samples));
    discDir.write("disc.cue",
                  "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 00 00:00:00\n"
                  "    INDEX 01 00:02:00\n  TRACK 02 AUDIO\n    INDEX 01 00:06:00\n");
    std::string error;
    const auto original = openDiscSource((discDir.path() / "disc.cue").string(), error);
    ASSERT_TRUE(original) << error;

    const ShowRoot root;
    const auto show = openShowFile(pack(root, (discDir.path() / "disc.cue").string()), error);
    ASSERT_TRUE(show) << error;
    EXPECT_EQ(show->disc, show->folder + "/" + kDiscSheetMember);
    const auto carried = openDiscSource(show->disc, error);
    ASSERT_TRUE(carried) << error;
    EXPECT_EQ(carried->tracks(), original->tracks());
    std::uint8_t a[2352], b[2352];
    for (const std::int32_t sector : {0, 149, 150, 449, 450, 609}) {
        ASSERT_TRUE(original->readSector(sector, a));
        ASSERT_TRUE(carried->readSector(sector, b));
        EXPECT_EQ(0, std::memcmp(a, b, sizeof a)) << sector;
    }
}

// A zip written member by member as a stranger might write it.
struct Entry {
    std::string name;
    std::string bytes;
    unsigned type = AE_IFREG;
    std::string link;  // a symbolic link's target
    bool hardlink = false;
};

void writeZip(const fs::path& file, const std::vector<Entry>& entries) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_open_filename(a, file.c_str());
    for (const Entry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.c_str());
        archive_entry_set_filetype(entry, e.type);
        archive_entry_set_perm(entry, 0644);
        if (!e.link.empty()) archive_entry_set_symlink(entry, e.link.c_str());
        if (e.hardlink) archive_entry_set_hardlink(entry, "Allegato/show.txt");
        archive_entry_set_size(entry, static_cast<la_int64_t>(e.bytes.size()));
        archive_write_header(a, entry);
        archive_write_data(a, e.bytes.data(), e.bytes.size());
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
}

const char* const kScript = "01:00:01Via12C\r\n01:00:05Fine00E\r\n**\r\n";

// The list for the given members, as a true one would be.
std::string listFor(const std::vector<Entry>& members) {
    ShowManifest m;
    m.script = "show.txt";
    for (const Entry& e : members)
        m.members.push_back({e.name, e.bytes.size(), Sha256::of(e.bytes)});
    return manifestJson(m);
}

TEST_F(ShowFileTest, RefusesEveryHostileShowFileAndWritesNothingOfIt) {
    const Entry script{"show.txt", kScript};
    const Entry picture{"a.jpg", std::string(1000, 'p')};
    const std::string good = listFor({script, picture});
    struct Case {
        std::vector<Entry> entries;
        const char* words;
    };
    std::string lyingHash = good;
    lyingHash.replace(lyingHash.find(Sha256::of(picture.bytes)), 64, std::string(64, 'e'));
    std::string lyingSize = good;
    lyingSize.replace(lyingSize.find("1000"), 4, "999");
    const Case cases[] = {
        {{script, picture, {"../fuori.txt", "x"}, {"show.json", good}}, "risale"},
        {{script, picture, {"/tmp/fuori.txt", "x"}, {"show.json", good}}, "assoluto"},
        {{script, picture, {"C:/fuori.txt", "x"}, {"show.json", good}}, "unità"},
        {{script, picture, {"link.jpg", "", AE_IFLNK, "/etc/passwd"}, {"show.json", good}},
         "collegamento"},
        // Zip cannot carry hard links or devices: written as files, or not at all.
        {{script, picture, {"hard.txt", "", AE_IFREG, "", true}, {"show.json", good}}, "hard.txt"},
        {{script, picture, {"dev", "", AE_IFCHR}, {"show.json", good}}, ""},
        {{script, picture, {"A.JPG", "p"}, {"show.json", good}}, "due volte"},
        {{script, picture, {"\xff\xfe.jpg", "x"}, {"show.json", good}}, "UTF-8"},
        {{script, picture, {"extra.txt", "x"}, {"show.json", good}}, "non nomina"},
        {{script, {"show.json", good}}, "non contiene tutti"},
        {{script, picture, {"show.json", lyingHash}}, "SHA-256"},
        {{script, picture, {"show.json", lyingSize}}, "grandezza diversa"},
        {{script, picture}, "manca il suo elenco"},
        {{script, picture, {"show.json", "{not json"}}, "non è leggibile"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const fs::path file = out.path() / ("ostile" + std::to_string(++n) + ".quilo");
        writeZip(file, c.entries);
        expectRefused(file.string(), c.words);
    }
    EXPECT_FALSE(fs::exists(cache.path() / "quilo" / "fuori.txt"));
    // Cut short, or not a zip at all.
    const ShowRoot root;
    const std::string whole = contents(pack(root));
    const fs::path cut = out.path() / "troncato.quilo";
    std::ofstream(cut, std::ios::binary) << whole.substr(0, whole.size() / 2);
    expectRefused(cut.string(), "");
    std::ofstream(out.path() / "testo.quilo") << "solo testo";
    expectRefused((out.path() / "testo.quilo").string(), "non è uno spettacolo");
    // The script inside naming a file of this computer.
    const Entry reaching{"show.txt", "01:00:01/etc/passwdM\r\n01:00:09Fine00E\r\n**\r\n"};
    writeZip(out.path() / "fuori.quilo", {reaching, {"show.json", listFor({reaching})}});
    std::string error;
    EXPECT_FALSE(openShowFile((out.path() / "fuori.quilo").string(), error));
    EXPECT_NE(error.find("fuori dallo spettacolo"), std::string::npos) << error;
}

TEST_F(ShowFileTest, RefusesABombThatExpandsFarPastItsCompressedBytes) {
    const Entry script{"show.txt", kScript};
    const Entry zeros{"silenzio.wav", std::string(std::size_t{80} << 20, '\0')};
    writeZip(out.path() / "bomba.quilo", {script, zeros, {"show.json", listFor({script, zeros})}});
    expectRefused((out.path() / "bomba.quilo").string(), "bomba");
}

}  // namespace
}  // namespace quilo
