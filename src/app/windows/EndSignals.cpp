#include "app/EndSignals.h"

#include <QObject>
#include <QtGlobal>

#include <utility>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace morvantis {

void holdEndSignals() {}
void takeEndSignals(QObject*, std::function<void(int)>) {}
bool endSignalCame() {
    return false;
}

namespace {

// Each of the program's top-level windows gets both messages: one save per question, one end.
// The filter leaves the event dispatcher as it is destroyed, with its owner.
class SessionEndFilter : public QObject, public QAbstractNativeEventFilter {
public:
    SessionEndFilter(QObject* owner, std::function<void()> save, std::function<void()> end)
        : QObject(owner), m_save(std::move(save)), m_end(std::move(end)) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray&, void* message, qintptr* result) override {
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_QUERYENDSESSION) {
            if (!m_saved) {
                m_saved = true;
                m_save();
            }
            *result = TRUE; // never the program that holds the session up
            return true;
        }
        if (msg->message == WM_ENDSESSION) {
            if (msg->wParam) {
                // Windows may end the process as soon as this returns: the end is done here.
                if (!m_ended) {
                    m_ended = true;
                    m_end();
                }
            } else {
                m_saved = false; // refused: a later question saves again
            }
            *result = 0;
            return true;
        }
        return false;
    }

private:
    std::function<void()> m_save;
    std::function<void()> m_end;
    bool m_saved = false;
    bool m_ended = false;
};

} // namespace

void takeSessionEnd(QObject* owner, std::function<void()> save, std::function<void()> end) {
    new SessionEndFilter(owner, std::move(save), std::move(end));
}

} // namespace morvantis
