#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QLocalServer;
class QSocketNotifier;

namespace morvantis {

// One clock per settings store. The first start holds a lock in the runtime folder and
// listens on a local socket beside it; a later start with the same store finds the lock
// taken, asks the running clock to come to the front through the socket, and ends. Both
// names carry a hash of the settings file's path, so another user or another
// XDG_CONFIG_HOME gets a clock of its own. A lock left by a killed clock is taken over.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // runtimeFolder empty: the user's runtime folder (XDG_RUNTIME_DIR).
    explicit SingleInstance(const QString& settingsFile, const QString& runtimeFolder = {},
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Nothing: this process is the store's clock (or cannot tell, and says so on stderr) and
    // goes on. A status: the program ends with it; 0 when the running clock was asked to
    // come to the front (one line on stdout), 1 when it holds the lock but does not answer.
    std::optional<int> claim();

    // Called on the clock when a later start asks it to come to the front.
    std::function<void()> onRaise;

    // How long a later start tries to reach the running clock.
    static constexpr int kAnswerWait = 500;

private:
    bool listen();
    bool askToRaise(int msecs) const;
    void raised();

    QString m_socketName;
    QLockFile m_lock;
#ifdef Q_OS_UNIX
    // A plain socket: Qt's local server would bring Qt Network and its libraries into every start.
    int m_listener = -1;
    QSocketNotifier* m_notifier = nullptr;
#else
    QLocalServer* m_server = nullptr;
#endif
};

} // namespace morvantis
