#include "display/DisplayEvents.h"

#include <gtest/gtest.h>

#include "support/DisplayFakes.h"

namespace quilo {
namespace {

using namespace quilo::testing;

class DisplayEventsTest : public ::testing::Test {
  protected:
    DisplayForm testo1;
    PanelModel panel;
    RecordingPresenter presenter;
    RecordingWindows windows;
    DisplayEvents events{testo1, panel, presenter, windows};
    const std::vector<Repaint> labels{Repaint::Label2_1, Repaint::Label1_0, Repaint::Label1_1};
};

TEST_F(DisplayEventsTest, RepaintsEveryCaptionButTheFirstBackgroundOne) {
    events.AggiornaEtichette();
    EXPECT_EQ(presenter.repaints, labels);
}

TEST_F(DisplayEventsTest, BringsThePanelBackOnALeftPress) {
    events.Form_MouseDown(1);
    EXPECT_TRUE(panel.visible);
    EXPECT_EQ(windows.raised, std::vector<Window>{Window::Tarvo1});
    EXPECT_EQ(presenter.repaints, labels);
}

TEST_F(DisplayEventsTest, BringsTheDisplayToTheFrontOnARightPressLeavingThePanelAlone) {
    events.Form_MouseDown(2);
    EXPECT_TRUE(testo1.visible);
    EXPECT_FALSE(panel.visible);
    EXPECT_EQ(windows.raised, std::vector<Window>{Window::testo1});
}

TEST_F(DisplayEventsTest, IgnoresTheMiddleButtonEntirely) {
    events.Form_MouseDown(4);
    events.Form_MouseDown(3);
    EXPECT_TRUE(presenter.repaints.empty());
    EXPECT_TRUE(windows.raised.empty());
    EXPECT_FALSE(panel.visible);
}

}  // namespace
}  // namespace quilo
