#include "app/Options.h"

#include <gtest/gtest.h>

#include <QDir>

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

    for (const QStringList& bad : {QStringList{QStringLiteral("--bogus")},
                                   QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")},
                                   QStringList{QStringLiteral("--from"), QStringLiteral("1:00:75")},
                                   QStringList{QStringLiteral("--root")}}) {
        EXPECT_FALSE(parse(bad, exitCode)) << bad.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(exitCode, 2);
    }
    for (const char* answer : {"--help", "--version", "-h"}) {
        EXPECT_FALSE(parse({QString::fromLatin1(answer)}, exitCode));
        EXPECT_EQ(exitCode, 0) << answer;
    }
}

}  // namespace
}  // namespace quilo
