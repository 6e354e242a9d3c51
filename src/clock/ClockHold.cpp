#include "clock/ClockHold.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <memory>

namespace morvantis {

namespace {

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace

ClockHold::ClockHold(QWidget& window) : m_window(window) {}

ClockHold::~ClockHold() = default;

void ClockHold::begin(Input input, std::function<bool(const QEvent&)> passes) {
    const bool first = !m_input;
    m_input = input;
    m_passes = std::move(passes);
    if (first)
        emit began();
}

void ClockHold::release() {
    if (!m_input)
        return;
    m_input.reset();
    m_passes = nullptr;
    emit released();
    // Posted, so that each acts as the window system's own input would: one at a time, after
    // whatever the release started.
    for (std::function<void()>& later : m_waiting)
        QMetaObject::invokeMethod(&m_window, std::move(later), Qt::QueuedConnection);
    m_waiting.clear();
}

void ClockHold::drop() {
    m_waiting.clear();
    m_input.reset();
    m_passes = nullptr;
}

bool ClockHold::takes(const QEvent& event) {
    if (!m_input || !isInput(event.type()))
        return false;
    if (*m_input == Input::Dropped)
        return !(m_passes && m_passes(event));
    std::shared_ptr<QEvent> copy(event.clone());
    wait([window = &m_window, copy] { QCoreApplication::sendEvent(window, copy.get()); });
    return true;
}

bool ClockHold::takes(std::function<void()> action, bool passes) {
    if (!m_input)
        return false;
    if (*m_input == Input::Dropped)
        return !passes;
    wait(std::move(action));
    return true;
}

void ClockHold::wait(std::function<void()> later) {
    if (m_waiting.size() < kMostWaiting)
        m_waiting.push_back(std::move(later));
}

} // namespace morvantis
