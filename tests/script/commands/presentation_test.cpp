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

// A gallery's opening caption and header (a dark slate background, warm white
// text, the hall's picture behind the captions), then `cues`.
std::vector<std::string> withOpening(std::vector<std::string> cues) {
    std::vector<std::string> lines = {"01:00:03Galleria aperta02C", "99 fondo rosso      10",
                                      "99 fondo verde      30",     "99 fondo blu        50",
                                      "99 testo rosso     240",     "99 testo verde     230",
                                      "99 testo blu       200",     "99:00:00sala.bmpV"};
    lines.insert(lines.end(), cues.begin(), cues.end());
    return lines;
}

class PresentationTest : public ::testing::Test {
  protected:
    PresentationTest() {
        h.prober.sizes["/sala.bmp"] = {640, 480};
        h.prober.sizes["/dipinto.bmp"] = {640, 480};
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

TEST_F(PresentationTest, PlaysAWholeShowCueByCueAndStopsAtItsEnd) {
    start(withOpening({"01:00:06Prima sala99C", "01:00:08Scala a destra14L", "01:00:11dipinto.bmpM",
                       "01:00:19campana.wavW", "01:00:23Fine del giro", "01:00:31Breve sosta03S",
                       "per le domande", "si riparteP", "01:00:42Seconda sala+", "quadri moderni",
                       "e sculture-", "01:00:52Arrivederci00E", "**"}));
    EXPECT_EQ(h.testo1.backColour, (Rgb{10, 30, 50}));
    EXPECT_EQ(h.state.captionWidth, 640 * 19);

    playUntil(0, 4);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Galleria aperta");
    EXPECT_EQ(h.testo1.Label2[0].fore, (Rgb{0, 128, 0}));
    playUntil(0, 7);
    EXPECT_EQ(h.testo1.Label2[1].caption, "Prima sala");
    EXPECT_EQ(h.testo1.Label2[1].fore, (Rgb{240, 230, 200}));  // 99: the header's text colour
    playUntil(0, 9);
    EXPECT_EQ(h.testo1.Label1[0].caption, "\r\nScala a destra");  // Label1 starts empty
    EXPECT_EQ(h.testo1.Label1[0].fore, (Rgb{255, 255, 0}));
    playUntil(0, 12);
    EXPECT_EQ(h.presenter.frames, 5);  // a wide picture rises in 2000-twip steps
    EXPECT_TRUE(h.testo1.ImgEdit[1].visible);
    EXPECT_EQ(h.testo1.ImgEdit[1].source, "dipinto.bmp");
    EXPECT_EQ(h.testo1.Label1[0].caption, " ");
    playUntil(0, 20);
    ASSERT_EQ(h.sound.played.size(), 1u);
    EXPECT_NE(h.sound.played[0].find("campana.wav"), std::string::npos);
    playUntil(0, 24);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Fine del giro");
    EXPECT_FALSE(h.testo1.ImgEdit[1].visible);
    playUntil(0, 31);
    playFor(200);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Breve sosta\r\nper le domande\r\nsi riparte");
    EXPECT_EQ(cd.mode(), CdMode::Paused);
    playFor(2600);
    EXPECT_EQ(cd.mode(), CdMode::Paused);
    playFor(400);
    EXPECT_EQ(cd.mode(), CdMode::Playing);  // three seconds after the pause began
    playUntil(0, 43);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Seconda sala\r\nquadri moderni\r\ne sculture");
    playUntil(0, 52);
    playFor(100);
    EXPECT_EQ(h.testo1.Label2[0].caption, "Arrivederci");
    EXPECT_EQ(h.testo1.Label2[0].fore, (Rgb{0, 0, 0}));
    EXPECT_EQ(cd.mode(), CdMode::Stopped);
    const auto ran = h.log.letters;
    playFor(3000);
    EXPECT_EQ(h.log.letters, ran);
    EXPECT_EQ(ran, "CCLMWoS+E");
}

TEST_F(PresentationTest, RunsEveryCommandLetterOnceAndNoBlockLineAsACommand) {
    const std::vector<std::string> lines = withOpening({"01:00:04Notte01B",
                                                        "01:00:05Una riga14L",
                                                        "01:00:06Parole",
                                                        "01:00:07wide.bmpV",
                                                        "01:00:08ding.wavW",
                                                        "01:00:09T",
                                                        "01:00:10N",
                                                        "01:00:11dipinto.bmpF",
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
                                                        "01:01:30Fine00E",
                                                        "**"});
    start(lines);
    playUntil(1, 30);
    playFor(2000);
    EXPECT_EQ(cd.mode(), CdMode::Stopped);
    const std::set<int> blockLines = {21, 24, 27, 30};
    const std::vector<int> expected = {0,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                                       18, 19, 20, 22, 23, 25, 26, 28, 29, 31};
    EXPECT_EQ(h.log.lines, expected);
    EXPECT_EQ(h.log.letters, "CBLeVWTNFARZMDMK-SP+E");
    for (int line : h.log.lines) EXPECT_EQ(blockLines.count(line), 0u) << line;
    EXPECT_EQ(h.testo1.Label2[0].caption, "Fine");
    EXPECT_TRUE(h.messages.shown.empty());
}

}  // namespace
}  // namespace quilo
