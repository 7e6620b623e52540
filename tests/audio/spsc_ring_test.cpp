#include "audio/SpscRing.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace quilo {
namespace {

TEST(SpscRing, KeepsToItsLimitWrapsAroundAndSkipsWhatWasDiscarded) {
    SpscRing ring(8);
    const std::uint8_t data[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(ring.write(data, 10, 6), 6u);  // the usual limit
    EXPECT_EQ(ring.write(data, 10, 8), 2u);  // silence may fill it up
    std::uint8_t out[10] = {};
    EXPECT_EQ(ring.read(out, 5), 5u);
    EXPECT_EQ(ring.write(data + 6, 4, 8), 4u);  // across the end
    EXPECT_EQ(ring.read(out, 10), 7u);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 7),
              (std::vector<std::uint8_t>{6, 1, 2, 7, 8, 9, 10}));
    ring.write(data, 3, 8);
    ring.discard();  // a seek: what is there is never played
    EXPECT_EQ(ring.held(), 0u);
    ring.write(data + 8, 2, 8);
    EXPECT_EQ(ring.read(out, 10), 2u);
    EXPECT_EQ(out[0], 9);
}

TEST(SpscRing, HandsEveryByteOverInOrderBetweenTwoThreads) {
    SpscRing ring(1000);
    constexpr std::size_t kTotal = 2'000'000;
    std::thread writer([&] {
        std::vector<std::uint8_t> block(333);
        for (std::size_t sent = 0; sent < kTotal;) {
            for (std::size_t i = 0; i < block.size(); ++i)
                block[i] = static_cast<std::uint8_t>((sent + i) % 251);
            sent += ring.write(block.data(), std::min(block.size(), kTotal - sent), 700);
        }
    });
    std::vector<std::uint8_t> out(97);
    std::size_t got = 0;
    bool inOrder = true;
    while (got < kTotal) {
        const std::size_t n = ring.read(out.data(), out.size());
        for (std::size_t i = 0; i < n; ++i)
            inOrder = inOrder && out[i] == static_cast<std::uint8_t>((got + i) % 251);
        got += n;
    }
    writer.join();
    EXPECT_TRUE(inOrder);
}

}  // namespace
}  // namespace quilo
