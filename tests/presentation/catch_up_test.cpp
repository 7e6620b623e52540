// A show caught up to a second of the disc shows what it would have shown had
// it played there from its start: checked against a live run in virtual time
// at every cue's second.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <tuple>

#include "cd/CdControl.h"
#include "cd/ManualAudioOutput.h"
#include "cd/SilentDisc.h"
#include "support/FakeCdDevice.h"
#include "support/Harness.h"

namespace quilo {
namespace {

using namespace quilo::testing;

// What a show is at one moment, apart from the wall clock's traces (a
// scripted pause's start and length) and the sector within the second.
auto shownState(const Modulo1& s) {
    return std::make_tuple(s.resumeLine, s.lastCueTime, s.commandLetter, s.captionWidth,
                           s.captionHeight, s.pictureFile, s.lastPictureFile, s.picturePane,
                           s.backgroundImage, s.previousBackground, s.backgroundPane, s.soundFile,
                           s.lastSoundFile, s.fittedWidth, s.fittedHeight, s.fitBoxWidth,
                           s.fitBoxHeight, s.zoomFactor, s.revealWidth, s.secondsToNext, s.backRed,
                           s.backGreen, s.backBlue, s.textRed, s.textGreen, s.textBlue);
}
using Snapshot = std::pair<DisplayForm, decltype(shownState(Modulo1{}))>;

// Each harness has a scratch folder of its own: pictures are compared by the
// name under it.
Snapshot snapshot(const Harness& h) {
    DisplayForm form = h.testo1;
    const std::string root = h.root.path().string();
    for (ImagePane& pane : form.ImgEdit) {
        if (pane.file.rfind(root, 0) == 0) pane.file.erase(0, root.size());
    }
    return {form, shownState(h.state)};
}

void prepare(Harness& h, const std::vector<std::string>& lines) {
    for (const char* name :
         {"/sala.bmp", "/ritratto.bmp", "/veduta.bmp", "/alba.png", "/collina.png", "/mare.png"}) {
        h.prober.sizes[name] = {640, 480};
    }
    h.prober.sizes["/alto.bmp"] = {300, 600};
    h.prober.sizes["/torre.png"] = {300, 600};
    h.script(lines);
    h.defaults.Tdefault();
}

// Plays the show live in virtual time and keeps what it shows when each
// second of the disc first comes round, as (track, minutes, seconds).
std::map<std::tuple<int, int, int>, Snapshot> playLive(const std::vector<std::string>& lines,
                                                       std::vector<std::int32_t> tracks) {
    ManualAudioOutput output{kVirtualBufferFrames, false};
    CdControl cd{[tracks] { return std::make_unique<SilentDisc>(tracks); }, output};
    Harness h{cd};
    prepare(h, lines);
    cd.command(CdCommand::Open);
    cd.setTo(1);
    cd.command(CdCommand::Seek);
    cd.command(CdCommand::Play);
    std::map<std::tuple<int, int, int>, Snapshot> seen;
    std::int64_t tenths = 0;
    for (std::int64_t ms = 1; cd.mode() == CdMode::Playing || h.state.pauseActive == 1; ++ms) {
        cd.pump();
        tenths += 441;
        output.play(tenths / 10);
        tenths %= 10;
        cd.pump();
        h.seconds.now = static_cast<float>(36000.0 + double(ms) / 1000.0);
        h.clock.Timer1_Timer();
        const auto at = std::make_tuple(h.state.cdTrack, h.state.cdMinutes, h.state.cdSeconds);
        if (!seen.count(at)) seen[at] = snapshot(h);
    }
    return seen;
}

Snapshot caughtUp(const std::vector<std::string>& lines, const std::vector<FakeTrack>& table,
                  int track, int minutes, int seconds) {
    FakeCdDevice cd;
    cd.table = table;
    Harness h{cd};
    prepare(h, lines);
    h.core.catchUpTo({track, minutes, seconds, 0});
    return snapshot(h);
}

void expectSameAtEveryCue(const std::vector<std::string>& lines, int sectorsPerTrack, int tracks,
                          int every = 1) {
    const auto live = playLive(lines, std::vector<std::int32_t>(tracks, sectorsPerTrack));
    const std::vector<FakeTrack> table(
        tracks, FakeTrack{CdPosition::inTrack(0, sectorsPerTrack).packed() >> 8, 0});
    int n = 0;
    for (const std::string& line : lines) {
        const DecodedLine d = decodeLine(line);
        if (d.track < 1 || d.track > tracks || n++ % every != 0) continue;
        const auto at = std::make_tuple(int(d.track), int(d.minutes), int(d.seconds));
        ASSERT_TRUE(live.count(at)) << line;
        const Snapshot caught = caughtUp(lines, table, d.track, d.minutes, d.seconds);
        EXPECT_TRUE(caught.first == live.at(at).first) << "display differs at " << line;
        EXPECT_TRUE(caught.second == live.at(at).second) << "state differs at " << line;
    }
}

TEST(CatchUp, ShowsWhatTheLiveShowShowsAtEveryCueOfAShowWithEveryKindOfCue) {
    expectSameAtEveryCue({"01:00:02Benvenuti alla mostra12C",
                          "99 fondo rosso      20",
                          "99 fondo verde      20",
                          "99 fondo blu        40",
                          "99 testo rosso     250",
                          "99 testo verde     250",
                          "99 testo blu       250",
                          "99:00:00sala.bmpV",
                          "01:00:05Prima sala99C",
                          "01:00:07al piano terra14L",
                          "01:00:09ritratto.bmpM",
                          "01:00:18Didascalia D",
                          "del ritratto-",
                          "01:00:21veduta.bmpF",
                          "01:00:30alto.bmpZ",
                          "01:00:39Sosta04S",
                          "per le domandeP",
                          "01:00:45campana.wavW",
                          "01:00:48Colonna K",
                          "a destra-",
                          "01:00:52veduta.bmpV",
                          "01:00:55N",
                          "01:00:58T",
                          "01:01:01ritratto.bmpA",
                          "01:01:10Fine00E",
                          "**"},
                         75 * 100, 1);
}

TEST(CatchUp, ShowsWhatTheLiveShowShowsAtEveryCueOfTheDemo) {
    std::ifstream file(std::string(QUILO_SOURCE_DIR) + "/demo/Allegato/demo.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);  // Windows-1252 bytes do not matter to the timing
    }
    ASSERT_GT(lines.size(), 40u);
    expectSameAtEveryCue(lines, 75 * 65, 3);
}

// Lines every few seconds across several tracks, some out of order and some
// sharing a second, so the resume point and the last cue's time are tested.
TEST(CatchUp, ShowsWhatTheLiveShowShowsAcrossTracksOfALongGeneratedShow) {
    std::vector<std::string> lines;
    char line[64];
    for (int i = 0; i < 300; ++i) {
        const int track = 1 + i / 100;
        const int second = (i % 100) * 3 + (i % 7 == 3 ? -5 : 0);
        const int at = std::max(0, second);
        const char* kinds[] = {"riga %d%02dC", "riga %d%02dB", "linea %d%02dL",
                               "testo %d%02d", "sala.bmpV",    "ritratto.bmpR"};
        char body[40];
        std::snprintf(body, sizeof body, kinds[i % 6], i, i % 16);
        std::snprintf(line, sizeof line, "%02d:%02d:%02d%s", track, at / 60, at % 60, body);
        lines.push_back(line);
    }
    lines.push_back("**");
    expectSameAtEveryCue(lines, 75 * 305, 3, 7);
}

TEST(CatchUp, PlaysNoSoundOpensNoBoxShowsNoFrameAndTellsWhenTheShowStoppedEarlier) {
    FakeCdDevice cd;
    cd.table = {{0x00000005, 0}};  // 5:00
    Harness h{cd};
    prepare(h, {"01:00:02missing.wavW", "01:00:04ritratto.bmpM", "01:00:20Pausa09S", "testoP",
                "01:00:30Fine00E", "01:00:40dopo12C", "**"});
    h.sound.unplayable = {"missing.wav"};
    EXPECT_TRUE(h.core.catchUpTo({1, 0, 25, 0}));
    EXPECT_TRUE(h.sound.played.empty());
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(h.presenter.frames, 0);
    EXPECT_TRUE(cd.commands.empty());  // the pause never reached the real CD
    EXPECT_EQ(h.state.pauseActive, 0);
    EXPECT_EQ(h.state.lastSoundFile, "missing.wav");
    EXPECT_FALSE(h.core.catchUpTo({1, 0, 50, 0}));  // "E" stopped the show at 0:30
    EXPECT_EQ(h.testo1.Label2[0].caption, "Fine");
}

}  // namespace
}  // namespace quilo
