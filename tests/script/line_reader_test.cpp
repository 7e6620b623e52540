#include "script/LineReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/FakeCdDevice.h"

namespace quilo {
namespace {

using testing::FakeCdDevice;

// Records what the reader dispatched; a test may make a command end the pass
// or consume the lines of a block.
class RecordingCommands : public CommandRunner {
  public:
    explicit RecordingCommands(Modulo1& state) : state_(state) {}

    PassFlow run(ScriptCommand command) override {
        ran.push_back({state_.currentLine, command, state_.commandLetter, state_.lineLength});
        if (onRun) return onRun(command);
        return PassFlow::Continue;
    }

    struct Call {
        int line;
        ScriptCommand command;
        std::string letter;
        int length;
    };
    std::vector<Call> ran;
    std::function<PassFlow(ScriptCommand)> onRun;

  private:
    Modulo1& state_;
};

class LineReaderTest : public ::testing::Test {
  protected:
    void script(const std::vector<std::string>& lines) {
        for (std::size_t i = 0; i < lines.size(); ++i)
            state.scriptLines.assign(static_cast<int>(i), lines[i]);
        state.lineCount = static_cast<int>(lines.size());
    }
    std::vector<int> ranLines() const {
        std::vector<int> lines;
        for (const auto& call : commands.ran) lines.push_back(call.line);
        return lines;
    }

    Modulo1 state;
    DisplayForm testo1;
    PanelModel panel;
    FakeCdDevice cd;
    CdReadout readout{state, cd, panel};
    RecordingCommands commands{state};
    LineReader reader{state, testo1, readout, commands};
};

TEST_F(LineReaderTest, RunsOnlyTheFirstOfSeveralLinesWithTheSameTime) {
    script({"02:00:10first12C", "02:00:10second01B", "**"});
    cd.at(2, 0, 10);
    reader.LeggiRiga();
    reader.LeggiRiga();
    reader.LeggiRiga();
    ASSERT_EQ(commands.ran.size(), 1u);
    EXPECT_EQ(commands.ran[0].command, ScriptCommand::TextColourCaption);
    EXPECT_EQ(commands.ran[0].length, 16);
}

TEST_F(LineReaderTest, RunsACueDuringTheWholeSecondItNamesOnce) {
    script({"01:00:05Hello12C", "**"});
    for (int frame = 0; frame < 75; frame += 5) {
        cd.at(1, 0, 5, frame);
        reader.LeggiRiga();
    }
    EXPECT_EQ(commands.ran.size(), 1u);
    EXPECT_EQ(state.lastCueTime, packedCueTime(1, 0, 5));
}

TEST_F(LineReaderTest, StopsEarlyOnlyWhenALineLiesAheadInBothMinutesAndSeconds) {
    script({"01:00:01a12C", "02:01:20later12C", "02:00:10now01B", "**"});
    state.resumeLine = 1;
    cd.at(2, 0, 10);
    reader.LeggiRiga();
    EXPECT_TRUE(commands.ran.empty());
    EXPECT_EQ(state.resumeLine, 1);

    script({"01:00:01a12C", "02:01:05later12C", "02:00:10now01B", "**"});
    reader.LeggiRiga();
    ASSERT_EQ(ranLines(), std::vector<int>{2});
    EXPECT_EQ(state.resumeLine, 4);
}

TEST_F(LineReaderTest, NeverStopsOrRunsForLinesOfAnotherTrack) {
    script({"03:05:50other12C", "02:00:10mine12C", "**"});
    cd.at(2, 0, 10);
    reader.LeggiRiga();
    EXPECT_EQ(ranLines(), std::vector<int>{1});
}

TEST_F(LineReaderTest, StartsAgainAtTheTopAfterAPassThatReachedTheEnd) {
    script({"01:00:01a12C", "01:00:02b12C", "**"});
    cd.at(1, 0, 1);
    reader.LeggiRiga();
    EXPECT_EQ(state.resumeLine, 3);
    cd.at(1, 0, 2);
    reader.LeggiRiga();
    EXPECT_EQ(ranLines(), (std::vector<int>{0, 1}));
}

TEST_F(LineReaderTest, ResumesAtTheLineWhereACommandEndedThePass) {
    script({"01:00:01a12C", "01:00:05pic.bmpM", "01:00:05same12C", "01:00:06b12C", "**"});
    commands.onRun = [](ScriptCommand c) {
        return c == ScriptCommand::Picture ? PassFlow::EndPass : PassFlow::Continue;
    };
    state.resumeLine = 1;
    cd.at(1, 0, 5);
    reader.LeggiRiga();
    EXPECT_EQ(state.resumeLine, 1);
    reader.LeggiRiga();  // line 1 is not due again; line 2 shares its time
    cd.at(1, 0, 6);
    reader.LeggiRiga();
    EXPECT_EQ(ranLines(), (std::vector<int>{1, 3}));
}

TEST_F(LineReaderTest, GoesOnAfterTheLastLineABlockConsumed) {
    script({"01:00:01Block+", "01:00:01inside12C", "end-", "01:00:01after12C", "**"});
    commands.onRun = [this](ScriptCommand c) {
        if (c == ScriptCommand::CaptionBlock) state.currentLine += 2;
        return PassFlow::Continue;
    };
    cd.at(1, 0, 1);
    reader.LeggiRiga();
    // "after" shares the block's time stamp, so it is passed over.
    EXPECT_EQ(ranLines(), std::vector<int>{0});
    EXPECT_EQ(state.resumeLine, 5);
}

TEST_F(LineReaderTest, NeverRunsACueWhosePackedTimeIsTheStartUpValue) {
    script({"99:00:00first12C", "**"});
    cd.at(99, 0, 0);
    reader.LeggiRiga();
    EXPECT_TRUE(commands.ran.empty());
}

TEST_F(LineReaderTest, SkipsThePassWhileTheDeviceReportsNoTrack) {
    script({"00:00:00comment", "**"});
    cd.at(0, 0, 0);
    reader.LeggiRiga();
    EXPECT_TRUE(commands.ran.empty());
    EXPECT_EQ(panel.Text1, "0");
}

TEST_F(LineReaderTest, ShowsTheCaptionsAndResetsSecondsToNextOnEveryPass) {
    script({"**"});
    testo1.Label2[0].visible = false;
    testo1.Label2[1].visible = false;
    state.secondsToNext = 30;
    cd.at(1, 2, 3, 4);
    reader.LeggiRiga();
    EXPECT_TRUE(testo1.Label2[0].visible);
    EXPECT_TRUE(testo1.Label2[1].visible);
    EXPECT_EQ(state.secondsToNext, 4);
    EXPECT_EQ(panel.Text3, "3");
}

TEST_F(LineReaderTest, LeavesTheDecodedFieldsOfTheLastExaminedLine) {
    script({"01:02:03a12C", "01:02:05b12B", "**"});
    cd.at(1, 2, 3);
    reader.LeggiRiga();
    EXPECT_EQ(state.commandLetter, "*");
    EXPECT_EQ(state.lineTimeText, "**");
    EXPECT_EQ(state.lineTrack, 0);
}

TEST_F(LineReaderTest, GivesTheSameResultWhetherLinesArePreDecodedOrDecodedAfresh) {
    const std::vector<std::string> lines = {"01:00:01a12C",
                                            "99 header 0",
                                            "01:00:03pic.bmpM",
                                            "01:00:03twin01B",
                                            "01:01:02later12C",
                                            "01:00:59b",
                                            "02:00:01c12C",
                                            "01:01:02x+",
                                            "  comment",
                                            "01:01:03y12C",
                                            "**"};
    auto run = [&](bool afresh) {
        Modulo1 s;
        for (std::size_t i = 0; i < lines.size(); ++i)
            s.scriptLines.assign(static_cast<int>(i), lines[i]);
        s.lineCount = static_cast<int>(lines.size());
        DisplayForm form;
        PanelModel p;
        FakeCdDevice device;
        CdReadout r{s, device, p};
        RecordingCommands c{s};
        c.onRun = [](ScriptCommand cmd) {
            return cmd == ScriptCommand::Picture ? PassFlow::EndPass : PassFlow::Continue;
        };
        LineReader lr{s, form, r, c};
        lr.setDecodeAfresh(afresh);
        std::vector<std::string> trace;
        for (int track = 1; track <= 2; ++track) {
            for (int t = 0; t < 130; ++t) {
                device.at(track, t / 60, t % 60);
                lr.LeggiRiga();
                lr.LeggiRiga();
                trace.push_back(std::to_string(s.resumeLine));
            }
        }
        for (const auto& call : c.ran) trace.push_back(std::to_string(call.line) + call.letter);
        return trace;
    };
    EXPECT_EQ(run(false), run(true));
}

}  // namespace
}  // namespace quilo
