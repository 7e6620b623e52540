#include "script/UpcomingPictures.h"

#include <gtest/gtest.h>

namespace quilo {
namespace {

// From the disc's position on, in script order: each picture or background
// once, whatever letter shows it; header lines, comments and past cues never.
TEST(UpcomingPictures, NamesTheNextDifferentPicturesFromThePositionOn) {
    Modulo1 state;
    const std::vector<std::string> lines = {"01:00:01Ciao12C",      "99:00:00fondo.jpgV",
                                            "01:00:05prima.jpgM",   "00 nota.jpgM",
                                            "01:00:20seconda.jpgF", "01:00:30prima.jpgR",
                                            "01:00:40cielo.jpgV",   "01:00:50 V",
                                            "02:00:05terza.jpgZ",   "**"};
    for (std::size_t i = 0; i < lines.size(); ++i) state.scriptLines.assign(int(i), lines[i]);
    state.lineCount = static_cast<std::int32_t>(lines.size());

    auto names = [&](std::size_t count) {
        std::vector<std::string> out;
        for (const auto& p : upcomingPictures(state, count)) out.push_back(p.name + p.letter);
        return out;
    };
    EXPECT_EQ(names(3), (std::vector<std::string>{"prima.jpgM", "seconda.jpgF", "cielo.jpgV"}));
    state.cdTrack = 1;
    state.cdSeconds = 20;
    EXPECT_EQ(names(9),
              (std::vector<std::string>{"seconda.jpgF", "prima.jpgR", "cielo.jpgV", "terza.jpgZ"}));
    state.cdTrack = 2;
    state.cdSeconds = 6;
    EXPECT_TRUE(names(2).empty());
}

}  // namespace
}  // namespace quilo
