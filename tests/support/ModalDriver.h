#pragma once

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace morvantis::test {

// Drives the modal window that the code under test opens (with exec(), or open(): then settle()
// waits for it): once one is the active modal widget, act runs on it once. After limitMs the test fails and
// every modal window still open is closed, so no test can hang on a window nobody closes.
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(QWidget*)> act, int limitMs = 5000) : m_act(std::move(act)) {
        m_poll.setInterval(10);
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (m_acted)
                return;
            if (QWidget* modal = QApplication::activeModalWidget()) {
                m_acted = true;
                m_act(modal);
            }
        });
        m_poll.start();
        m_watchdog.setSingleShot(true);
        QObject::connect(&m_watchdog, &QTimer::timeout, [this] {
            m_timedOut = true;
            ADD_FAILURE() << "a modal window was still open after the time limit";
            while (QWidget* modal = QApplication::activeModalWidget()) {
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->done(QDialog::Rejected);
                else
                    modal->close();
                if (QApplication::activeModalWidget() == modal)
                    break; // it refuses to close; leave it rather than spin
            }
        });
        m_watchdog.start(limitMs);
    }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Returns once act has run and no modal window is open any more, or the time limit is out.
    void settle() {
        (void)QTest::qWaitFor(
            [this] { return m_timedOut || (m_acted && !QApplication::activeModalWidget()); }, 60000);
    }
    bool acted() const { return m_acted; }
    bool timedOut() const { return m_timedOut; }

private:
    std::function<void(QWidget*)> m_act;
    QTimer m_poll;
    QTimer m_watchdog;
    bool m_acted = false;
    bool m_timedOut = false;
};

} // namespace morvantis::test
