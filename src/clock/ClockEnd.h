#pragma once

#include <QObject>

#include <functional>
#include <optional>
#include <string>

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

    // How the clock saves, once it has read what it would save; before, an end saves nothing.
    void saveWith(std::function<bool(std::string& error)> save) { m_save = std::move(save); }
    // Saves as an end saves, and the clock goes on. False when the save failed (said on standard
    // error).
    bool save(std::string& error);
    // The one end that saves (EXIT, the session's end): announced, saved, and begun with status 0,
    // or 1 when the save failed. failed runs first then, with the reason: anything may run inside
    // it, the end included. Nothing once the end has begun.
    void saveAndEnd(const std::function<void(const std::string& error)>& failed = {});

signals:
    void announcing();
    void begins(int status);
    void ended(int status);

private:
    bool m_announced = false;
    std::optional<int> m_status;
    std::function<bool(std::string&)> m_save;
};

} // namespace morvantis
