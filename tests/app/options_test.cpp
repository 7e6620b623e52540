#include "app/Options.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <filesystem>

#include "app/RemoteLink.h"
#include "app/ShowFileOpening.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

std::optional<AppOptions> parse(QStringList arguments, int& exitCode) {
    arguments.prepend(QStringLiteral("quilo"));
    exitCode = -1;
    return parseOptions(arguments, exitCode);
}

TEST(Options, TakesAScriptAndAPlaceOnTheDiscAndRefusesWhatItCannotTake) {
    int exitCode = 0;
    auto options =
        parse({QStringLiteral("show.txt"), QStringLiteral("--from"), QStringLiteral("02:03:04"),
               QStringLiteral("--sync-offset"), QStringLiteral("-120")},
              exitCode);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->script,
              QDir::current().absoluteFilePath(QStringLiteral("show.txt")).toStdString());
    EXPECT_EQ(options->from, (CdPosition{2, 3, 4, 0}));
    EXPECT_EQ(options->syncOffsetMs, -120);
    options = parse({QStringLiteral("C:\\Allegato\\x.txt")}, exitCode);
    EXPECT_EQ(options->script, "C:\\Allegato\\x.txt");  // through the root, as the chooser's
    options = parse({QStringLiteral("--no-remote")}, exitCode);
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->noRemote);

    for (const QStringList& bad :
         {QStringList{QStringLiteral("--bogus")},
          QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")},
          QStringList{QStringLiteral("--from"), QStringLiteral("1:00:75")},
          QStringList{QStringLiteral("--root")},
          QStringList{QStringLiteral("--remote"), QStringLiteral("--no-remote")}}) {
        EXPECT_FALSE(parse(bad, exitCode)) << bad.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(exitCode, 2);
    }
    for (const char* answer : {"--help", "--version", "-h"}) {
        EXPECT_FALSE(parse({QString::fromLatin1(answer)}, exitCode));
        EXPECT_EQ(exitCode, 0) << answer;
    }
    // A show file chosen in the chooser: the next run keeps this one's
    // screen, offset and remote, and leaves out its script, root and start.
    const QStringList given = {
        QStringLiteral("quilo"),  QStringLiteral("a.txt"),         QStringLiteral("--root"),
        QStringLiteral("/r"),     QStringLiteral("--screen"),      QStringLiteral("1"),
        QStringLiteral("--from"), QStringLiteral("01:00:05"),      QStringLiteral("--remote"),
        QStringLiteral("9000"),   QStringLiteral("--sync-offset"), QStringLiteral("-20")};
    EXPECT_EQ(
        argumentsForShow(given, QStringLiteral("/s/sala.quilo")),
        (QStringList{QStringLiteral("--screen"), QStringLiteral("1"), QStringLiteral("--remote"),
                     QStringLiteral("9000"), QStringLiteral("--sync-offset"), QStringLiteral("-20"),
                     QStringLiteral("/s/sala.quilo")}));
}

// A key file is a regular file holding a key no one would guess; anything
// else is refused at once with its real reason, and none is read whole.
TEST(RemoteKeyFile, TakesOnlyARegularFileWithARealKey) {
    testing::TempDir dir;
    const std::string key = "00112233445566778899aabbccddeeff";
    const auto why = [](const std::string& path) {
        const auto read = tokenFromFile(path);
        const auto* text = std::get_if<std::string>(&read);
        return text ? *text : std::string("accettata");
    };
    EXPECT_EQ(why((dir.path() / "manca").string()), "non esiste");
    EXPECT_EQ(why("/dev/zero"), "non è un file normale");
    const std::string fifo = (dir.path() / "tubo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(why(fifo), "non è un file normale");  // and no wait for a writer
    EXPECT_EQ(why(dir.write("lunga", key + std::string(300, '\n')).string()),
              "è troppo grande per una chiave");
    EXPECT_EQ(why(dir.write("corta", key.substr(1)).string()), "non è di 32 cifre esadecimali");
    EXPECT_EQ(why(dir.write("zeri", std::string(32, '0')).string()),
              "è tutta di zeri: chiunque la indovinerebbe");
    const auto good = dir.write("chiave", key + "\n");
    std::filesystem::permissions(
        good, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const auto read = tokenFromFile(good.string());
    ASSERT_TRUE(std::holds_alternative<TokenFile>(read));
    EXPECT_EQ(std::get<TokenFile>(read).token, key);
    EXPECT_FALSE(std::get<TokenFile>(read).othersMayRead);
    std::filesystem::permissions(good, std::filesystem::perms::others_read,
                                 std::filesystem::perm_options::add);
    EXPECT_TRUE(std::get<TokenFile>(tokenFromFile(good.string())).othersMayRead);

    // The key kept between runs: made once, readable by its owner only,
    // the same at the next run, new on request.
    const std::string kept = (dir.path() / "config" / "telecomando.chiave").string();
    const std::string first = keptRemoteKey(kept, false);
    EXPECT_EQ(first.size(), 32u);
    EXPECT_EQ(std::filesystem::status(kept).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(keptRemoteKey(kept, false), first);
    EXPECT_NE(keptRemoteKey(kept, true), first);
}

}  // namespace
}  // namespace quilo
