#include "remote/io/QrCode.h"

#include <gtest/gtest.h>

namespace quilo {
namespace {

TEST(QrCode, DrawsTheAddressAsASquareCodeWithItsFinderPatterns) {
    const auto modules = qrModules("http://192.168.1.20:8390/?t=00112233445566778899aabbccddeeff");
    ASSERT_GE(modules.size(), 21u);
    for (const auto& row : modules) EXPECT_EQ(row.size(), modules.size());
    // The finder's 7 x 7 dark ring in the top-left corner, light inside it.
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(modules[0][std::size_t(i)]);
        EXPECT_TRUE(modules[std::size_t(i)][0]);
    }
    EXPECT_FALSE(modules[1][1]);
    EXPECT_TRUE(modules[3][3]);
}

}  // namespace
}  // namespace quilo
