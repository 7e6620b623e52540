// Whole presentations played against the models with a real CD control, a
// silent disc and virtual time: every millisecond the CD is heard for a
// millisecond and the clock ticks once.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "cd/CdControl.h"
#include "cd/ManualAudioOutput.h"
#include "cd/SilentDisc.h"
#include "support/Harness.h"

namespace quilo {
namespace {

using namespace quilo::testing;

// The worked example's first line and header (a dark blue background, yellow
// text, sea.bmp behind the captions), then `cues`.
std::vector<std::string> withOpening(std::vector<std::string> cues) {
    std::vector<std::string> lines = {"01:00:01Benvenuti12C",   "99 back red          0",
                                      "99 back green        0", "99 back blue        64",
                                      "99 text red        255", "99 text green      255",
                                      "99 text blue         0", "99:00:00sea.bmpV"};
    lines.insert(lines.end(), cues.begin(), cues.end());
    return lines;
}

class PresentationTest : public ::testing::Test {
  protected:
    PresentationTest() {
        cd.command(CdCommand::Open);
        cd.setTimeFormat(kTimeFormatTmsf);
    }

    void start(const std::vector<std::string>& lines) {
        h.script(lines);
        h.defaults.Tdefault();
        cd.setTo(1);
        cd.command(CdCommand::Seek);
        cd.command(CdCommand::Play);
    }
    void step() {
        cd.pump();
        tenths += 441;
        output.play(tenths / 10);
        tenths %= 10;
        cd.pump();
        ++ms;
        h.seconds.now = static_cast<float>(36000.0 + ms / 1000.0);
        h.clock.Timer1_Timer();
    }
    // Steps until the CD position reaches track 1 at the given time (or the limit).
    void playUntil(int minutes, int seconds, int limitMs = 200000) {
        for (int i = 0; i < limitMs; ++i) {
            const CdPosition at = CdPosition::unpack(cd.position());
            if (at.track == 1 && at.minutes == minutes && at.seconds == seconds) return;
            step();
        }
        FAIL() << "never reached " << minutes << ":" << seconds;
    }
    void playFor(int milliseconds) {
        for (int i = 0; i < milliseconds; ++i) step();
    }

    ManualAudioOutput output{kVirtualBufferFrames, false};
    CdControl cd{
        [] {
            return std::make_unique<SilentDisc>(std::vector<std::int32_t>{75 * 120, 75 * 120});
        },
        output};
    Harness h{cd};
    std::int64_t tenths = 0;
    std::int64_t ms = 0;
};

TEST_F(PresentationTest, PlaysTheWorkedExampleFromStartToEnd) {
    start(withOpening({"01:00:05First part99C", "01:00:09A second line14L", "01:00:12photo1.bmpM",
                       "01:00:20applause.wavW", "01:00:25Just a sentence",
                       "01:00:40Pause for applause05S", "and thanks to all", "see you soonP",
                       "01:00:50Line one of a block+", "Line two", "Line three-",
                       "01:01:00The end00E", "**"}));
    EXPECT_EQ(h.testo1.backColour, (Rgb{0, 0, 64}));
    EXPECT_EQ(h.state.captionWidth, 640 * 19);

    playUntil(0, 2);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Benvenuti");
    EXPECT_EQ(h.testo1.Label2[0].fore, (Rgb{255, 0, 0}));
    playUntil(0, 6);
    EXPECT_EQ(h.testo1.Label2[1].caption, "First part");
    EXPECT_EQ(h.testo1.Label2[1].fore, (Rgb{255, 255, 0}));
    playUntil(0, 10);
    EXPECT_EQ(h.testo1.Label1[0].caption, "\r\nA second line");  // Label1 starts empty
    EXPECT_EQ(h.testo1.Label1[0].fore, (Rgb{255, 255, 0}));
    playUntil(0, 13);
    EXPECT_EQ(h.presenter.frames, 5);  // a wide picture rises in 2000-twip steps
    EXPECT_TRUE(h.testo1.ImgEdit[1].visible);
    EXPECT_EQ(h.testo1.ImgEdit[1].source, "photo1.bmp");
    EXPECT_EQ(h.testo1.Label1[0].caption, " ");
    playUntil(0, 21);
    ASSERT_EQ(h.sound.played.size(), 1u);
    EXPECT_NE(h.sound.played[0].find("applause.wav"), std::string::npos);
    playUntil(0, 26);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Just a sentence");
    EXPECT_FALSE(h.testo1.ImgEdit[1].visible);
    playUntil(0, 40);
    playFor(200);
    EXPECT_EQ(h.testo1.Label2[0].caption,
              "Pause for applause\r\nand thanks to all\r\nsee you soon");
    EXPECT_EQ(cd.mode(), CdMode::Paused);
    playFor(4600);
    EXPECT_EQ(cd.mode(), CdMode::Paused);
    playFor(400);
    EXPECT_EQ(cd.mode(), CdMode::Playing);  // five seconds after the pause began
    playUntil(0, 51);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Line one of a block\r\nLine two\r\nLine three");
    playUntil(1, 0);
    playFor(100);
    EXPECT_EQ(h.testo1.Label2[0].caption, "The end");
    EXPECT_EQ(h.testo1.Label2[0].fore, (Rgb{0, 0, 0}));
    EXPECT_EQ(cd.mode(), CdMode::Stopped);
    const auto ran = h.log.letters;
    playFor(3000);
    EXPECT_EQ(h.log.letters, ran);
    EXPECT_EQ(ran, "CCLMWeS+E");
}

TEST_F(PresentationTest, RunsEveryCommandLetterOnceAndNoBlockLineAsACommand) {
    const std::vector<std::string> lines = withOpening({"01:00:02Night01B",
                                                        "01:00:03A line14L",
                                                        "01:00:04Plain words",
                                                        "01:00:05wide.bmpV",
                                                        "01:00:06ding.wavW",
                                                        "01:00:07T",
                                                        "01:00:08N",
                                                        "01:00:09photo1.bmpF",
                                                        "01:00:20photo2.bmpA",
                                                        "01:00:30photo1.bmpR",
                                                        "01:00:40photo2.bmpZ",
                                                        "01:00:50photo1.bmpM",
                                                        "01:01:05Caption for picture D",
                                                        "second line-",
                                                        "01:01:06photo2.bmpM",
                                                        "01:01:10Column K",
                                                        "col line-",
                                                        "01:01:12Dash-",
                                                        "01:01:14Wait02S",
                                                        "pause textP",
                                                        "01:01:20Direct02P",
                                                        "01:01:25Block+",
                                                        "block line-",
                                                        "01:01:30The end00E",
                                                        "**"});
    start(lines);
    playUntil(1, 30);
    playFor(2000);
    EXPECT_EQ(cd.mode(), CdMode::Stopped);
    const std::set<int> blockLines = {21, 24, 27, 30};
    const std::vector<int> expected = {0,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                                       18, 19, 20, 22, 23, 25, 26, 28, 29, 31};
    EXPECT_EQ(h.log.lines, expected);
    EXPECT_EQ(h.log.letters, "CBLsVWTNFARZMDMK-SP+E");
    for (int line : h.log.lines) EXPECT_EQ(blockLines.count(line), 0u) << line;
    EXPECT_EQ(h.testo1.Label2[0].caption, "The end");
    EXPECT_TRUE(h.messages.shown.empty());
}

}  // namespace
}  // namespace quilo
