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
// taken, asks the running clock to come to the front through the socket and, once the clock
// has replied, ends. A clock that is ending replies to no one: the later start waits for the
// lock and runs as the clock. Both names carry a hash of the store's identity() in the user's
// own folder, so another user or another XDG_CONFIG_HOME gets a clock of its own (on Windows, each
// session of a user too). A lock left by a killed clock is taken over.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // runtimeFolder empty: the user's runtime folder (see runtimeFolder()).
    explicit SingleInstance(const QString& settingsFile, const QString& runtimeFolder = {},
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Nothing: this process is the store's clock (or cannot tell, and says so on stderr) and
    // goes on. A status: the program ends with it; 0 when the running clock replied that it
    // comes to the front (one line on stdout), 1 when it holds the lock but does not reply.
    std::optional<int> claim();

    // The command line's --quit (an installer's): asks the store's running clock to save as EXIT
    // does and end, and waits until it has. 0 when it has ended or none ran; 1 when it did not
    // answer or end within kQuitWait.
    int quit();

    // Called on the clock when a later start asks it to come to the front.
    std::function<void()> onRaise;
    // Called on the clock when a --quit asks it to end.
    std::function<void()> onQuit;
    // While this says the clock is ending, it replies to no later start and stops listening.
    std::function<bool()> ending;
    // The clock is ending: later starts get no reply and wait for the lock. Before it saves.
    void stopAnswering();

    // What tells one store from another, however it is spelt: on Unix the settings file's path,
    // resolved; on Windows the registry key's name and the session.
    static QString identity(const QString& settingsFile);

    // The user's runtime folder: $XDG_RUNTIME_DIR when it is this user's alone, else a folder
    // only this user can enter in the user's cache folder; empty when there is none.
    static QString runtimeFolder();

    // How long a later start waits for the running clock's reply: long enough for a clock busy
    // starting on a loaded machine, short enough for a user waiting on a stopped one.
    static constexpr int kAnswerWait = 3000;
    // How long it waits for a clock that no longer listens (it is starting or ending) to let go of the lock.
    static constexpr int kLockWait = 5000;
    // How long --quit waits for the clock to end: a save on a slow disk, a sound that stops.
    static constexpr int kQuitWait = 10000;

private:
    // A request is one byte; the clock replies with one byte of its own for each.
    enum class Request : char { Raise = '?', Quit = 'q' };
    static constexpr char kRaised = '!';
    static constexpr char kQuitting = 'Q';
    // Misread: a clock that took the request before its byte came, as a plain start.
    enum class Answer { Replied, Silent, Gone, Misread };
    bool listen();
    Answer ask(Request request = Request::Raise) const;
    void raised();
    void quitAsked();
    // After --quit has seen the lock let go: waits, at most that long, for the clock's process to
    // have ended too (on Windows its program and folder are in use until then); false if it has not.
    bool waitForClockProcess(int milliseconds) const;
    // Removes a lock whose holder has ended that the lock file did not see as such; false when
    // nothing was removed.
    bool leftLockRemoved();

    QString m_socketName;
    QLockFile m_lock;
    // Where it listens, each system its own way (app/linux, app/windows). Linux: a plain socket, as
    // Qt's local server would bring Qt Network and its libraries into every start; Windows: Qt's
    // local server on a named pipe.
    int m_listener = -1;
    QSocketNotifier* m_notifier = nullptr;
    void takeRequests();
    QLocalServer* m_server = nullptr;
};

} // namespace morvantis
