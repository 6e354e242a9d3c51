#pragma once

#include "clock/ClockEnd.h"
#include "clock/frmMain.h"
#include "support/ClockProbe.h"
#include "settings/ClockState.h"
#include "support/TestServices.h"

#include <QApplication>
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
        QObject::connect(&end, &ClockEnd::ended, [this](int status) { exitStatus = status; });
        end.saveWith([this](std::string& error) { return state.save(env.store, env.files, error); });
    }
    // The settings as a start reads them: edit changes them, the state takes them, and the
    // timers stay stopped.
    template <class Edit> void startWith(Edit edit) {
        Settings s = state.settings();
        edit(s);
        state.load(s);
        timer("Timer1").stop();
        timer("Timer2").stop();
    }
    // The clock's tick ("Timer1") or blink ("Timer2").
    QTimer& timer(const char* name) { return *window.findChild<QTimer*>(QLatin1String(name)); }
    // A window of the clock by its object name, once those closed meanwhile are gone.
    template <class W> W* clockWindow(const char* name) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* w : QApplication::allWidgets())
            if (w->objectName() == QLatin1String(name))
                if (auto* found = qobject_cast<W*>(w))
                    return found;
        return nullptr;
    }

    // The settings and the window position as a start reads them from the store.
    void readState() { state.read(env.store, env.files); }

    TestServices env;
    ClockEnd end;
    ClockState state;
    frmMain window{env.services, state, end};
    std::optional<int> exitStatus;
};

} // namespace morvantis::test
