#include "cd/view/ButtonBar.h"

#include <gtest/gtest.h>

namespace quilo {
namespace {

std::vector<bool> enabled(const ButtonBar& bar) {
    std::vector<bool> states;
    for (int b = 0; b < ButtonBar::kButtonCount; ++b) {
        states.push_back(bar.button(static_cast<ButtonBar::Button>(b))->isEnabled());
    }
    return states;
}

TEST(ButtonBar, EnablesTheButtonsTheModeAllowsAndNeverBackStepOrRecord) {
    ButtonBar bar;
    //                                  Prev   Next   Play   Pause  Back   Step   Stop   Record
    //                                  Eject
    bar.sync(CdMode::NotReady);
    EXPECT_EQ(enabled(bar),
              (std::vector<bool>{false, false, false, false, false, false, false, false, true}));
    bar.sync(CdMode::Stopped);
    EXPECT_EQ(enabled(bar),
              (std::vector<bool>{true, true, true, false, false, false, false, false, true}));
    bar.sync(CdMode::Playing);
    EXPECT_EQ(enabled(bar),
              (std::vector<bool>{true, true, false, true, false, false, true, false, true}));
    bar.sync(CdMode::Paused);
    EXPECT_EQ(enabled(bar),
              (std::vector<bool>{true, true, true, false, false, false, true, false, true}));
}

TEST(ButtonBar, RunsTheActionOfTheButtonPressed) {
    ButtonBar bar;
    bar.sync(CdMode::Stopped);
    std::vector<int> pressed;
    bar.setAction(ButtonBar::Play, [&] { pressed.push_back(ButtonBar::Play); });
    bar.setAction(ButtonBar::Eject, [&] { pressed.push_back(ButtonBar::Eject); });
    bar.button(ButtonBar::Play)->click();
    bar.button(ButtonBar::Eject)->click();
    bar.button(ButtonBar::Record)->click();  // disabled: nothing happens
    EXPECT_EQ(pressed, (std::vector<int>{ButtonBar::Play, ButtonBar::Eject}));
}

}  // namespace
}  // namespace quilo
