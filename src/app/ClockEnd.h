#pragma once

#include <QObject>

namespace morvantis {

// The clock's end, begun once from wherever it comes (EXIT, a signal, a broken skin, the window
// system's close). Message boxes and other event loops let anything run inside a step, the end
// included: every step after one asks whether the end has begun.
class ClockEnd : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    bool begun() const { return m_begun; }
    // The first call decides the status; later calls change nothing.
    void begin(int status) {
        if (m_begun)
            return;
        m_begun = true;
        emit begins(status);
    }

signals:
    void begins(int status);

private:
    bool m_begun = false;
};

} // namespace morvantis
