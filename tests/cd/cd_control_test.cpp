#include "cd/CdControl.h"

#include <gtest/gtest.h>

#include "cd/ManualAudioOutput.h"
#include "support/FakeDisc.h"

namespace quilo {
namespace {

using testing::FakeDisc;

constexpr std::uint32_t tmsf(int t, int m, int s, int f) {
    return CdPosition{t, m, s, f}.packed();
}

class CdControlTest : public ::testing::Test {
  protected:
    CdControlTest() {
        cd.setEventSink([this](CdEvent e) { events.push_back(e); });
    }

    void openDisc() {
        cd.command(CdCommand::Open);
        cd.setTimeFormat(kTimeFormatTmsf);
    }
    // Lets `sectors` sectors be heard, pumping as the streaming thread would.
    void listen(int sectors) {
        for (int i = 0; i < sectors; ++i) {
            cd.pump();
            output.play(kFramesPerSector);
        }
        cd.pump();
    }

    std::vector<DiscTrack> toc{{0, 300}, {300, 450}, {750, 225}};
    bool discPresent = true;
    std::shared_ptr<FakeDisc> lastDisc;
    ManualAudioOutput output;
    CdControl cd{[this]() -> std::unique_ptr<DiscSource> {
                     if (!discPresent) return nullptr;
                     return std::make_unique<FakeDisc>(toc);
                 },
                 output};
    std::vector<CdEvent> events;
};

TEST_F(CdControlTest, IsNotReadyWithoutADisc) {
    discPresent = false;
    openDisc();
    EXPECT_EQ(cd.mode(), CdMode::NotReady);
    EXPECT_EQ(cd.position(), 0u);
    EXPECT_EQ(cd.tracks(), 0);
    cd.setTo(2);
    cd.command(CdCommand::Seek);
    cd.command(CdCommand::Play);
    cd.buttonPlay();
    listen(3);
    EXPECT_EQ(cd.position(), 0u);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(output.written.empty());
}

TEST_F(CdControlTest, ReportsTheTrackTableAsPackedMsfWithTheLeadInOffset) {
    openDisc();
    EXPECT_EQ(cd.tracks(), 3);
    EXPECT_EQ(cd.position(), tmsf(1, 0, 0, 0));
    cd.setTrack(1);
    EXPECT_EQ(cd.trackLength(), 0x00000400u);    // 300 sectors = 0:04:00
    EXPECT_EQ(cd.trackPosition(), 0x00000200u);  // 0 + 150 = 0:02:00
    cd.setTrack(2);
    EXPECT_EQ(cd.trackLength(), 0x00000600u);                // 450 = 0:06:00
    EXPECT_EQ(cd.trackPosition(), 0x00000600u);              // 450 = 0:06:00
    EXPECT_EQ(packMsf(4500 * 2 + 75 * 3 + 7), 0x00070302u);  // 2:03:07
}

TEST_F(CdControlTest, SeeksToTheStartOfATrackOrToAFullPosition) {
    openDisc();
    cd.setTo(2);
    cd.command(CdCommand::Seek);
    EXPECT_EQ(cd.position(), tmsf(2, 0, 0, 0));
    cd.setTo(static_cast<std::int32_t>(tmsf(3, 0, 1, 5)));
    cd.command(CdCommand::Seek);
    EXPECT_EQ(cd.position(), tmsf(3, 0, 1, 5));
    EXPECT_EQ(cd.mode(), CdMode::Stopped);
    EXPECT_TRUE(events.empty());  // the program's own commands are not notified
}

// The output is asked when the position is read, not only when it is pumped.
TEST_F(CdControlTest, ReportsTheSampleBeingHeardWhenAskedNotTheOneHandedOver) {
    openDisc();
    cd.command(CdCommand::Play);
    cd.pump();
    EXPECT_EQ(output.written.size(), 4u * kSectorBytes);  // buffered, not yet heard
    EXPECT_EQ(cd.position(), tmsf(1, 0, 0, 0));
    output.play(kFramesPerSector * 2 + 100);
    EXPECT_EQ(cd.position(), tmsf(1, 0, 0, 2));
    EXPECT_EQ(cd.heardFrame(), kFramesPerSector * 2 + 100);
    listen(75);
    EXPECT_EQ(cd.position(), tmsf(1, 0, 1, 2));
}

TEST_F(CdControlTest, ShiftsThePositionByMillisecondsAndSaysWhenItsNextSecondBegins) {
    openDisc();
    EXPECT_FALSE(cd.nextSecond());  // nothing moves while stopped
    cd.command(CdCommand::Play);
    listen(70);  // 70 sectors of track 1 heard: 0.9333 s
    EXPECT_EQ(cd.nextSecond()->microseconds, 66667);
    EXPECT_EQ(cd.nextSecond()->second, tmsf(1, 0, 0, 0));
    cd.setPositionOffsetMs(60);
    EXPECT_EQ(cd.position(), tmsf(1, 0, 0, 74));  // 0.9933 s
    EXPECT_EQ(cd.nextSecond()->microseconds, 6667);
    cd.setPositionOffsetMs(-1000);
    EXPECT_EQ(cd.position(), tmsf(1, 0, 0, 0));  // never before the disc
    cd.setPositionOffsetMs(0);
    cd.setTo(tmsf(1, 0, 3, 70));  // 5 sectors before track 2 begins
    cd.command(CdCommand::Seek);
    listen(1);
    EXPECT_EQ(cd.nextSecond()->microseconds, 53334);  // the next track comes first
    EXPECT_EQ(cd.nextSecond()->second, tmsf(1, 0, 3, 0));
}

TEST_F(CdControlTest, PausesAndStopsAtTheHeardPositionAndPlaysOnFromIt) {
    openDisc();
    cd.command(CdCommand::Play);
    listen(10);
    cd.command(CdCommand::Pause);
    EXPECT_EQ(cd.mode(), CdMode::Paused);
    listen(20);
    EXPECT_EQ(cd.heardSector(), 10);
    cd.command(CdCommand::Play);
    listen(10);
    cd.command(CdCommand::Stop);
    listen(5);
    EXPECT_EQ(cd.heardSector(), 20);
    cd.command(CdCommand::Play);
    listen(5);
    cd.command(CdCommand::Stop);
    cd.pump();
    // What was heard is the disc's samples of sectors 0 to 25, without gaps or repeats.
    EXPECT_EQ(output.written, FakeDisc::samples(0, 25));
}

TEST_F(CdControlTest, PlaysOnFromTheNewPlaceWhenSeekingWhilePlaying) {
    openDisc();
    cd.command(CdCommand::Play);
    listen(5);
    cd.setTo(3);
    cd.command(CdCommand::Seek);
    EXPECT_EQ(cd.mode(), CdMode::Playing);
    listen(3);
    EXPECT_EQ(cd.position(), tmsf(3, 0, 0, 3));
    // Paused, it stands at the new place instead.
    cd.command(CdCommand::Pause);
    cd.setTo(2);
    cd.command(CdCommand::Seek);
    EXPECT_EQ(cd.mode(), CdMode::Stopped);
    EXPECT_EQ(cd.position(), tmsf(2, 0, 0, 0));
}

TEST_F(CdControlTest, PlaysAcrossTracksToTheEndOfTheDiscAndStops) {
    openDisc();
    cd.setTo(static_cast<std::int32_t>(tmsf(1, 0, 3, 70)));
    cd.command(CdCommand::Seek);
    cd.command(CdCommand::Play);
    listen(10);
    EXPECT_EQ(cd.position(), tmsf(2, 0, 0, 5));
    listen(1000);
    EXPECT_EQ(cd.mode(), CdMode::Stopped);
    EXPECT_EQ(cd.heardSector(), 975);
    EXPECT_EQ(output.written, FakeDisc::samples(295, 975));
    EXPECT_TRUE(events.empty());  // a play the program started ends silently
    cd.setTo(1);                  // stopped at its end, it goes back all the same
    cd.command(CdCommand::Seek);
    EXPECT_EQ(cd.position(), tmsf(1, 0, 0, 0));
}

TEST_F(CdControlTest, NotifiesTheEndOfAPlayStartedFromTheButtonBar) {
    openDisc();
    cd.setTo(3);
    cd.command(CdCommand::Seek);
    cd.buttonPlay();
    EXPECT_EQ(events, std::vector<CdEvent>{CdEvent::PlayCompleted});
    listen(300);
    EXPECT_EQ(events, (std::vector<CdEvent>{CdEvent::PlayCompleted, CdEvent::Done}));
}

TEST_F(CdControlTest, NotifiesStopPrevAndNextButNotPause) {
    openDisc();
    cd.buttonPlay();
    listen(100);
    cd.buttonPause();
    cd.buttonNext();
    EXPECT_EQ(cd.position(), tmsf(2, 0, 0, 0));
    cd.buttonPrev();  // at the very start of track 2: back to track 1
    EXPECT_EQ(cd.position(), tmsf(1, 0, 0, 0));
    cd.setTo(static_cast<std::int32_t>(tmsf(2, 0, 3, 0)));
    cd.command(CdCommand::Seek);
    cd.buttonPrev();  // well into track 2: to its start
    EXPECT_EQ(cd.position(), tmsf(2, 0, 0, 0));
    cd.buttonStop();
    EXPECT_EQ(events, (std::vector<CdEvent>{CdEvent::PlayCompleted, CdEvent::Done, CdEvent::Done,
                                            CdEvent::Done, CdEvent::Done}));
}

TEST_F(CdControlTest, EjectsAndClosesTheTrayWithItsEvents) {
    openDisc();
    cd.buttonPlay();
    listen(5);
    events.clear();
    cd.buttonEject();
    EXPECT_EQ(events, (std::vector<CdEvent>{CdEvent::EjectClick, CdEvent::EjectCompleted}));
    EXPECT_EQ(cd.mode(), CdMode::Open);
    EXPECT_EQ(cd.tracks(), 0);
    EXPECT_EQ(cd.position(), 0u);
    cd.command(CdCommand::Open);  // re-opening with the tray out finds no disc
    EXPECT_EQ(cd.tracks(), 0);
    cd.buttonEject();
    EXPECT_EQ(cd.mode(), CdMode::Stopped);
    EXPECT_EQ(cd.tracks(), 3);
    EXPECT_EQ(events.back(), CdEvent::EjectCompleted);
}

TEST_F(CdControlTest, RaisesEjectClickBeforeTheDiscLeaves) {
    openDisc();
    std::vector<int> tracksSeen;
    cd.setEventSink([&](CdEvent e) {
        if (e == CdEvent::EjectClick) tracksSeen.push_back(cd.tracks());
    });
    cd.buttonEject();
    EXPECT_EQ(tracksSeen, std::vector<int>{3});
}

TEST_F(CdControlTest, PlaysAnUnreadableSectorAsSilenceAndGoesOn) {
    auto disc = std::make_unique<FakeDisc>(toc);
    disc->unreadable = {2};
    std::unique_ptr<DiscSource> holder = std::move(disc);
    CdControl control([&]() { return std::move(holder); }, output);
    control.command(CdCommand::Open);
    control.command(CdCommand::Play);
    for (int i = 0; i < 6; ++i) {
        control.pump();
        output.play(kFramesPerSector);
    }
    auto expected = FakeDisc::samples(0, 4);
    std::fill(expected.begin() + 2 * kSectorBytes, expected.begin() + 3 * kSectorBytes, 0);
    ASSERT_GE(output.written.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), output.written.begin()));
}

TEST_F(CdControlTest, NeverReportsAPositionBehindTheOneBeforeOrAheadOfTheHeardOne) {
    openDisc();
    cd.command(CdCommand::Play);
    std::int32_t last = 0;
    std::int64_t maxGapFrames = 0;
    for (int step = 0; step < 2000; ++step) {
        cd.pump();
        output.play((step * 37) % 700);
        cd.pump();
        const std::int32_t sector = cd.heardSector();
        EXPECT_GE(sector, last);
        last = sector;
        const std::int64_t heardSectors = output.heardFrames / kFramesPerSector;
        maxGapFrames = std::max<std::int64_t>(maxGapFrames, std::abs(heardSectors - sector));
        if (cd.mode() != CdMode::Playing) break;
    }
    EXPECT_LE(maxGapFrames, 1);
}

}  // namespace
}  // namespace quilo
