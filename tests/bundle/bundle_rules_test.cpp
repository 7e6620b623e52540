#include <gtest/gtest.h>

#include "bundle/MemberName.h"
#include "bundle/PackPlan.h"
#include "bundle/ShowManifest.h"
#include "script/ScriptLoader.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using testing::TempDir;

TEST(MemberName, RefusesEveryNameThatCouldLeaveTheShowsFolder) {
    for (const char* safe : {"Allegato/foto.jpg", "copione.txt", "Quilo 1.0/colori.txt",
                             "Allegato/caffè.png", "a..b/c"})
        EXPECT_EQ(memberNameProblem(safe), "") << safe;
    for (const char* unsafe : {"", "/etc/passwd", "C:/x.jpg", "c:x", "../x", "a/../../x", "a/./b",
                               "a//b", "a/", "a\\b", "a\nb", "\xff\xfe.jpg", "\xc0\xaf"})
        EXPECT_NE(memberNameProblem(unsafe), "") << unsafe;
    EXPECT_NE(memberNameProblem(std::string(kMaxMemberNameBytes + 1, 'a')), "");
    EXPECT_EQ(foldedName("Allegato/FOTO.Jpg"), foldedName("allegato/foto.jpg"));
}

ShowManifest sample() {
    ShowManifest m;
    m.title = "Prova è";
    m.script = "Allegato/copione.txt";
    m.disc = "quilo-disco/disco.cue";
    m.members = {{"Allegato/copione.txt", 12, std::string(64, 'a')},
                 {"quilo-disco/disco.cue", 99, std::string(64, '0')}};
    return m;
}

TEST(ShowManifest, ReadsBackWhatItWritesAndRefusesAListThatLies) {
    std::string error;
    EXPECT_EQ(parseManifest(manifestJson(sample()), error), sample());

    const auto refused = [](ShowManifest m) {
        std::string why;
        EXPECT_FALSE(parseManifest(manifestJson(m), why));
        return why;
    };
    ShowManifest twice = sample();
    twice.members.push_back({"ALLEGATO/Copione.TXT", 1, std::string(64, 'b')});
    EXPECT_NE(refused(twice).find("due volte"), std::string::npos);
    ShowManifest outside = sample();
    outside.members[0].path = "../copione.txt";
    outside.script = "../copione.txt";
    EXPECT_NE(refused(outside).find("risale"), std::string::npos);
    ShowManifest badHash = sample();
    badHash.members[1].sha256 = "xyz";
    EXPECT_NE(refused(badHash).find("impronta"), std::string::npos);
    ShowManifest noScript = sample();
    noScript.script = "altro.txt";
    EXPECT_NE(refused(noScript).find("copione"), std::string::npos);
    ShowManifest huge = sample();
    huge.members[0].size = kMaxMemberBytes + 1;
    EXPECT_NE(refused(huge).find("troppo grande"), std::string::npos);
    ShowManifest itself = sample();
    itself.members.push_back({kManifestName, 1, std::string(64, 'c')});
    EXPECT_NE(refused(itself).find("se stesso"), std::string::npos);
    ShowManifest newer = sample();
    newer.version = kShowFormatVersion + 1;
    EXPECT_NE(refused(newer).find("più recente"), std::string::npos);

    EXPECT_FALSE(parseManifest("{\"format\":\"quilo-show\"", error));
    EXPECT_FALSE(parseManifest("[1,2]", error));
    EXPECT_FALSE(parseManifest(R"({"format":"quilo-show","version":1,"script":"a.txt",
        "files":[{"path":"a.txt","size":-1,"sha256":")" +
                                   std::string(64, 'a') + "\"}]}",
                               error));
}

class PackPlanTest : public ::testing::Test {
  protected:
    PackPlan plan(const std::filesystem::path& file, const std::string& body) {
        std::string text = "01:00:01Via12C\r\n";
        for (int i = 0; i < 6; ++i) text += "99 colore    100\r\n";
        text += "99:00:00C:\\ALLEGATO\\Sfondo.JPGV\r\n" + body + "**\r\n";
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        state.scriptPath = file.string();
        ScriptLoader loader(state, paths);
        EXPECT_FALSE(loader.MemorizzaLetturaRiga());
        return planPack(state, paths);
    }
    static std::vector<std::string> members(const PackPlan& p) {
        std::vector<std::string> out;
        for (const auto& e : p.entries) out.push_back(e.member);
        return out;
    }
    TempDir root;
    PathResolver paths{root.path()};
    Modulo1 state;
};

TEST_F(PackPlanTest, PacksEachNamedFileUnderTheNameThePlayerLooksFor) {
    root.write("Quilo 1.0/colori.txt", "0\r\n0\r\n0\r\n255\r\n255\r\n255\r\n");
    root.write("Allegato/sfondo.jpg", "s");
    root.write("Allegato/foto/uno.jpg", "1");
    root.write("Allegato/din.wav", "w");
    const PackPlan p = plan(root.path() / "Allegato/show.txt",
                            "01:00:02foto\\UNO.jpgM\r\n"
                            "01:00:09C:/allegato/FOTO/uno.JPGM\r\n"  // the same file, spelt again
                            "01:00:20din.wavW\r\n"
                            "01:00:30manca.jpgA\r\n");
    EXPECT_EQ(members(p), (std::vector<std::string>{"Allegato/show.txt", "Quilo 1.0/colori.txt",
                                                    "ALLEGATO/Sfondo.JPG", "Allegato/foto/UNO.jpg",
                                                    "Allegato/din.wav"}));
    EXPECT_EQ(p.entries[3].source, root.path() / "Allegato/foto/uno.jpg");
    ASSERT_EQ(p.missing.size(), 1u);
    EXPECT_NE(p.missing[0].find("riga 12: immagine «manca.jpg»"), std::string::npos);
    EXPECT_TRUE(p.refused.empty());
}

TEST_F(PackPlanTest, RefusesNamesOutsideTheRootAndTakesAScriptFromElsewhereToTheTop) {
    TempDir elsewhere;
    elsewhere.write("vicino.jpg", "v");
    const PackPlan p = plan(elsewhere.path() / "show.txt",
                            "01:00:02vicino.jpgM\r\n01:00:09..\\fuori.jpgM\r\n"
                            "01:00:19/etc/passwdM\r\n");
    EXPECT_EQ(p.scriptMember, "show.txt");
    EXPECT_EQ(members(p), (std::vector<std::string>{"show.txt", "vicino.jpg"}));
    EXPECT_EQ(p.refused.size(), 2u);
    EXPECT_EQ(memberForName("vicino.jpg", ""), "vicino.jpg");
    EXPECT_EQ(memberForName("..\\Quilo 1.0\\x.jpg", "Allegato"), "Quilo 1.0/x.jpg");
    EXPECT_EQ(memberForName("\\Allegato\\x.jpg", "Allegato"), "Allegato/x.jpg");
    EXPECT_EQ(memberForName("C:\\..\\x.jpg", ""), "");
}

}  // namespace
}  // namespace quilo
