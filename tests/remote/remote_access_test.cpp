#include "remote/RemoteAccess.h"

#include <gtest/gtest.h>

namespace quilo {
namespace {

const std::string kToken = "0123456789abcdef0123456789abcdef";

TEST(RemoteAccess, AcceptsOnlyTheExactToken) {
    EXPECT_TRUE(sameToken(kToken, kToken));
    for (const std::string given :
         {std::string(), kToken.substr(0, 31), kToken + "0", "1" + kToken.substr(1),
          kToken.substr(0, 31) + "F", std::string(32, '\0')})
        EXPECT_FALSE(sameToken(given, kToken)) << given;
    EXPECT_FALSE(sameToken("", ""));  // no token configured lets nobody in
    EXPECT_EQ(wellFormedToken("0123456789ABCDEF0123456789abcdef\n"), kToken);
    EXPECT_FALSE(wellFormedToken("0123456789abcdef0123456789abcdeg"));
    EXPECT_FALSE(wellFormedToken("abc"));
}

TEST(RemoteAccess, TakesTheTokenFromTheAddressThenTheCookie) {
    EXPECT_EQ(requestToken("x=1&t=" + kToken, ""), kToken);
    EXPECT_EQ(requestToken("", "lang=it; quilo=" + kToken), kToken);
    EXPECT_EQ(requestToken("t=a", "quilo=b"), "a");
    EXPECT_FALSE(requestToken("tt=1", "quilox=2"));
    // The Host a request names, port and brackets aside, in any case.
    const std::vector<std::string> names = {"localhost", "sala", "192.168.1.20", "::1"};
    for (const char* ours : {"localhost", "SALA:8390", "192.168.1.20:8390", "[::1]:8390", "sala."})
        EXPECT_TRUE(hostNamesThisMachine(ours, names)) << ours;
    for (const char* other : {"", "evil.example", "sala.evil.example", "[::1", "192.168.1.2"})
        EXPECT_FALSE(hostNamesThisMachine(other, names)) << other;
}

TEST(RemoteAccess, NamesOnlyItsOwnPagesAndCalls) {
    EXPECT_EQ(routeFor("/"), Route::Remote);
    EXPECT_EQ(routeFor("/stage"), Route::Stage);
    EXPECT_EQ(routeFor("/api/command"), Route::Command);
    for (const char* path :
         {"", "/../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd", "//etc/passwd", "/stage/", "/STAGE",
          "/api/state/..", "/etc/passwd", "/ws%00", "/remote.js/../../x", "C:\\\\Windows"})
        EXPECT_EQ(routeFor(path), Route::None) << path;
    EXPECT_EQ(thumbnailLine("line=12"), 12);
    EXPECT_EQ(thumbnailLine("t=ab&line=99999"), 99999);
    for (const char* query : {"", "line=", "line=0", "line=-1", "line=100000", "line=1%00",
                              "line=../1", "line=1x", "lines=2"})
        EXPECT_FALSE(thumbnailLine(query)) << query;
}

}  // namespace
}  // namespace quilo
