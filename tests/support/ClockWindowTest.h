#pragma once

#include "app/frmMain.h"
#include "support/TestServices.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

namespace morvantis::test {

// A test of the clock window: its timers stopped (the test ticks by hand), and the status it ends
// with recorded.
class ClockWindowTest : public ::testing::Test {
protected:
    ClockWindowTest() {
        timer("Timer1").stop();
        timer("Timer2").stop();
        QObject::connect(&window, &frmMain::ended, [this](int status) { exitStatus = status; });
    }
    // The clock's tick ("Timer1") or blink ("Timer2").
    QTimer& timer(const char* name) { return *window.findChild<QTimer*>(QLatin1String(name)); }

    TestServices env;
    Settings settings;
    frmMain window{env.services, settings};
    std::optional<int> exitStatus;
};

} // namespace morvantis::test
