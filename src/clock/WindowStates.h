#pragma once

#include "platform/QtWindowSystem.h"

#include <QObject>
#include <QPointer>
#include <vector>

class QWidget;

namespace morvantis {

// Whether the window manager can keep the clock above other windows. A native Wayland client
// has no protocol for it.
bool canKeepOnTop();

// Keeps the clock above ordinary windows (_NET_WM_STATE_ABOVE under X11), and, while it does,
// every other window of the program as it is shown: the alert and the dialogs stay above the
// clock, answerable.
class KeepOnTop : public QObject {
public:
    explicit KeepOnTop(QWidget& clock) : m_clock(clock) {}
    ~KeepOnTop() override;
    void set(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_clock;
    bool m_on = false;
    // The windows it put above, and only those: a ringing alert keeps its own place.
    std::vector<QPointer<QWidget>> m_raised;
};

} // namespace morvantis
