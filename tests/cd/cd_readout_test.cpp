#include "cd/CdReadout.h"

#include <gtest/gtest.h>

#include "support/FakeCdDevice.h"

namespace quilo {
namespace {

using testing::FakeCdDevice;

class CdReadoutTest : public ::testing::Test {
  protected:
    Modulo1 state;
    PanelModel panel;
    FakeCdDevice cd;
    CdReadout readout{state, cd, panel};
};

TEST_F(CdReadoutTest, DecodesThePackedPositionIntoVariablesAndBoxes) {
    cd.at(3, 5, 30, 42);
    readout.AggiornaPosizioneCd();
    EXPECT_EQ(state.cdTrack, 3);
    EXPECT_EQ(state.cdMinutes, 5);
    EXPECT_EQ(state.cdSeconds, 30);
    EXPECT_EQ(state.cdFrames, 42);
    EXPECT_EQ(panel.Text1 + "," + panel.Text2 + "," + panel.Text3 + "," + panel.Text4, "3,5,30,42");
}

TEST_F(CdReadoutTest, ReadsAFramesByteWithItsHighBitSetAsUnsigned) {
    cd.packedPosition = 0xC8FFFF01u;
    readout.AggiornaPosizioneCd();
    EXPECT_EQ(state.cdTrack, 1);
    EXPECT_EQ(state.cdMinutes, 255);
    EXPECT_EQ(state.cdSeconds, 255);
    EXPECT_EQ(state.cdFrames, 200);
    EXPECT_EQ(panel.Text4, "200");
}

TEST_F(CdReadoutTest, SumsTrackCountLengthsAndStartsIntoTheDiscCode) {
    cd.table = {{0x000305, 0x000200}, {0x101004, 0x200A08}};
    readout.LetturaCodiceCd();
    EXPECT_EQ(panel.Text7, std::to_string(2 + 0x000305 + 0x000200 + 0x101004 + 0x200A08));
    EXPECT_EQ(cd.selectedTracks, (std::vector<int>{1, 2}));
}

TEST_F(CdReadoutTest, GivesCodeZeroAndSelectsNoTrackForAnEmptyDisc) {
    readout.LetturaCodiceCd();
    EXPECT_EQ(panel.Text7, "0");
    EXPECT_TRUE(cd.selectedTracks.empty());
    readout.AggiornaPosizioneCd();
    EXPECT_EQ(panel.Text1 + panel.Text2 + panel.Text3 + panel.Text4, "0000");
}

}  // namespace
}  // namespace quilo
