#pragma once
// A test of script commands: the whole script core around a CD whose position
// the test sets; at() runs one reader pass at that position.

#include <gtest/gtest.h>

#include "support/FakeCdDevice.h"
#include "support/Harness.h"

namespace quilo::testing {

class CommandTest : public ::testing::Test {
  protected:
    void at(int track, int minutes, int seconds) {
        cd.at(track, minutes, seconds);
        h.reader.LeggiRiga();
    }
    FakeCdDevice cd;
    Harness h{cd};
};

}  // namespace quilo::testing
