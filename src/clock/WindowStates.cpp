#include "clock/WindowStates.h"

#include "clock/WindowPlacement.h"
#include "platform/QtWindowSystem.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace morvantis {

bool canKeepOnTop() {
    return !windowSystemPlacesWindows();
}

KeepOnTop::~KeepOnTop() {
    if (m_on)
        qApp->removeEventFilter(this);
}

void KeepOnTop::set(bool on) {
    if (!canKeepOnTop() || on == m_on)
        return;
    m_on = on;
    setStaysOnTop(m_clock, on);
    // Only while it is on: no filter looks at the program's events otherwise.
    if (on) {
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
        for (const QPointer<QWidget>& w : m_raised)
            if (w)
                setStaysOnTop(*w, false);
        m_raised.clear();
    }
}

bool KeepOnTop::eventFilter(QObject* watched, QEvent* event) {
    // The show event comes before the window is mapped: the window manager maps it above.
    if (event->type() == QEvent::Show) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget != &m_clock && widget->isWindow() && widget->windowType() != Qt::Popup &&
            widget->windowType() != Qt::ToolTip && !(widget->windowFlags() & Qt::WindowStaysOnTopHint)) {
            setStaysOnTop(*widget, true);
            std::erase_if(m_raised, [](const QPointer<QWidget>& w) { return w.isNull(); });
            m_raised.emplace_back(widget);
        }
    }
    return false;
}

} // namespace morvantis
