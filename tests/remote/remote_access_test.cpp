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

TEST(RemoteAccess, TakesTheRoleFromTheAddressThenThisPortsCookies) {
    const std::string viewer = "fedcba9876543210fedcba9876543210";
    const RemoteKeys keys{kToken, viewer};
    EXPECT_EQ(requestRole("x=1&t=" + kToken, "", 8390, keys), Role::Operator);
    EXPECT_EQ(requestRole("t=" + viewer, "quilo_8390=" + kToken, 8390, keys), Role::Viewer);
    EXPECT_EQ(requestRole("", "lang=it; quilo_8390=" + kToken, 8390, keys), Role::Operator);
    EXPECT_EQ(requestRole("", "quilo_8390_vista=" + viewer, 8390, keys), Role::Viewer);
    // Both kept (one phone, two links): the operator's wins.
    EXPECT_EQ(requestRole("", "quilo_8390_vista=" + viewer + "; quilo_8390=" + kToken, 8390, keys),
              Role::Operator);
    // Another port's cookie, a viewer's key kept as the operator's, a wrong key.
    for (const std::string cookie :
         {"quilo_8391=" + kToken, "quilo_8390=" + viewer, "quilo_8390_vista=" + kToken,
          "quilo=" + kToken, "tt=1; quilo_8390x=" + kToken})
        EXPECT_EQ(requestRole("", cookie, 8390, keys), Role::None) << cookie;
    EXPECT_EQ(requestRole("t=a", "quilo_8390=" + kToken, 8390, keys), Role::None);
    EXPECT_FALSE(roleMayUse(Role::Viewer, Route::Command));
    EXPECT_FALSE(roleMayUse(Role::Viewer, Route::Remote));
    EXPECT_TRUE(roleMayUse(Role::Viewer, Route::Captions));
    EXPECT_FALSE(roleMayUse(Role::None, Route::Style));
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
