#pragma once

#include "app/frmMain.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <optional>

namespace morvantis::test {

// A test of the clock window: its timers stopped (the test ticks by hand), and the status it ends
// with recorded instead of ending the test program.
class ClockWindowTest : public ::testing::Test {
protected:
    ClockWindowTest() {
        window.Timer1()->stop();
        window.Timer2()->stop();
        window.onEnd = [this](int status) { exitStatus = status; };
    }

    TestServices env;
    Settings settings;
    frmMain window{env.services, settings};
    std::optional<int> exitStatus;
};

} // namespace morvantis::test
