#pragma once

#include <QObject>

#include <optional>

namespace morvantis {

// The program's end, decided once from wherever it comes (EXIT, a signal, the session, a broken
// skin, the window system's close). Message boxes and other event loops let anything run inside a
// step, the end included: every step after one asks whether the end has begun.
class ClockEnd : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The end is under way: announced, possibly before its status is decided (EXIT saves first).
    bool announced() const { return m_announced; }
    bool begun() const { return m_status.has_value(); }
    // The exit status, once decided.
    std::optional<int> status() const { return m_status; }

    // Told once, before anything is saved: nothing may answer for the clock from now on.
    void announce() {
        if (m_announced)
            return;
        m_announced = true;
        emit announcing();
    }
    // The first call decides the status; later calls change nothing. Listeners of begins close
    // the windows; ended follows, once they have.
    void begin(int status) {
        if (m_status)
            return;
        announce();
        m_status = status;
        emit begins(status);
        emit ended(status);
    }

signals:
    void announcing();
    void begins(int status);
    void ended(int status);

private:
    bool m_announced = false;
    std::optional<int> m_status;
};

} // namespace morvantis
