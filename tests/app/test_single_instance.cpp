#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <vector>

using namespace morvantis;

namespace {

struct Folders {
    QTemporaryDir dir;
    QString runtime = dir.path() + QStringLiteral("/run");
    QString store(const char* home) const { return dir.path() + "/" + home + "/Morvantis/Morvantis.conf"; }
    Folders() {
        QDir().mkpath(runtime);
        QDir().mkpath(dir.path() + "/home");
    }
    // The files a clock of that store keeps in the runtime folder.
    QStringList leftovers() const { return QDir(runtime).entryList(QDir::Files | QDir::System); }
};

// A started program holds none of the clock's descriptors (they close on exec); a forked one
// would keep the clock's socket listening after the clock closed it.
void laterStartAlone() {
    ::close_range(3, ~0U, 0);
}

// A later start in a process of its own, as the program makes one. With answering, this process
// runs its event loop meanwhile (a running clock); without, it does not (a stopped one). The start's
// status: 3 when it became the clock.
int startElsewhere(const QString& store, const QString& runtime, bool answering = true) {
    const pid_t child = fork();
    if (child == 0) {
        laterStartAlone();
        SingleInstance later(store, runtime);
        const std::optional<int> status = later.claim();
        _exit(status ? *status : 3);
    }
    int status = 0;
    if (!answering || !QTest::qWaitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, 10000))
        waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// --quit in a process of its own, this one running its event loop meanwhile or not; its status.
int quitElsewhere(const QString& store, const QString& runtime, bool answering = true) {
    const pid_t child = fork();
    if (child == 0) {
        laterStartAlone();
        _exit(SingleInstance(store, runtime).quit());
    }
    int status = 0;
    if (!answering || !QTest::qWaitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, 15000))
        waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SingleInstance, QuitEndsTheRunningClockAndWaitsForItsEnd) {
    const struct {
        const char* name;
        bool running;
        bool answering;
        bool ends; // the clock ends when asked
        int status;
        int quits;
    } cases[] = {
        {"no clock", false, true, true, 0, 0},
        {"a clock that ends", true, true, true, 0, 1},
        {"a clock that does not answer", true, false, true, 1, 0},
        {"a clock that answers but does not end", true, true, false, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Folders f;
        auto clock = std::make_unique<SingleInstance>(f.store("home"), f.runtime);
        int quits = 0;
        int raised = 0;
        clock->onRaise = [&] { ++raised; };
        clock->onQuit = [&] {
            ++quits;
            if (c.ends)
                clock.release()->deleteLater(); // its lock goes with it
        };
        if (c.running)
            ASSERT_FALSE(clock->claim().has_value());
        else
            clock.reset();
        EXPECT_EQ(quitElsewhere(f.store("home"), f.runtime, c.answering), c.status);
        EXPECT_EQ(quits, c.quits);
        EXPECT_EQ(raised, 0) << "a quit raised the clock";
    }
}

TEST(SingleInstance, ASecondStartOfTheSameStoreRaisesTheFirstAndEndsWhileAnotherStoreGetsItsOwn) {
    Folders f;
    SingleInstance first(f.store("home"), f.runtime);
    int raised = 0;
    first.onRaise = [&] { ++raised; };
    ASSERT_FALSE(first.claim().has_value()) << "the first start is the clock";

    // The same store spelled another way is the same store.
    const struct {
        const char* name;
        QString store;
    } sameStore[] = {
        {"same path", f.store("home")},
        {"through ..", f.dir.path() + "/home/../home/Morvantis/Morvantis.conf"},
    };
    for (const auto& c : sameStore) {
        SCOPED_TRACE(c.name);
        const int before = raised;
        EXPECT_EQ(startElsewhere(c.store, f.runtime), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return raised == before + 1; }, 5000))
            << "the first was not raised";
    }

    SingleInstance other(f.store("other home"), f.runtime);
    EXPECT_FALSE(other.claim().has_value()) << "another store gets a clock of its own";
    QTest::qWait(50);
    EXPECT_EQ(raised, 2) << "starting another store's clock raised this one";
}

TEST(SingleInstance, AKilledClockDoesNotBlockTheNextStartButALiveOneThatDoesNotAnswerEndsIt) {
    Folders f;
    // A clock killed outright: no destructor runs, its lock and socket files stay behind.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance killed(f.store("home"), f.runtime);
        killed.claim();
        _exit(0);
    }
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    ASSERT_EQ(f.leftovers().size(), 2) << f.leftovers().join(", ").toStdString();

    QString lockFile;
    {
        SingleInstance next(f.store("home"), f.runtime);
        int raised = 0;
        next.onRaise = [&] { ++raised; };
        EXPECT_FALSE(next.claim().has_value()) << "the killed clock's lock blocked the next start";
        EXPECT_EQ(startElsewhere(f.store("home"), f.runtime), 0) << "the new clock does not answer";
        EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 1; }, 5000));
        for (const QString& name : f.leftovers())
            if (name.endsWith(QLatin1String(".lock")))
                lockFile = f.runtime + "/" + name;
    }
    EXPECT_TRUE(f.leftovers().isEmpty())
        << "a clock that ended left " << f.leftovers().join(", ").toStdString();

    // A clock that holds its lock and listens but does not reply (stopped): the system takes the
    // connection into its queue all the same, which is no answer. The start gives up and says so.
    ASSERT_FALSE(lockFile.isEmpty());
    SingleInstance stopped(f.store("home"), f.runtime);
    ASSERT_FALSE(stopped.claim().has_value());
    EXPECT_EQ(startElsewhere(f.store("home"), f.runtime, false), 1);
}

TEST(SingleInstance, AClockThatIsEndingRepliesToNoOneAndTheStartMadeThenRunsAsTheClock) {
    Folders f;
    auto first = std::make_unique<SingleInstance>(f.store("home"), f.runtime);
    int raised = 0;
    first->onRaise = [&] { ++raised; };
    ASSERT_FALSE(first->claim().has_value());
    first->ending = [] { return true; }; // an ending signal has come; the clock has not acted on it yet

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        laterStartAlone();
        SingleInstance later(f.store("home"), f.runtime);
        const std::optional<int> status = later.claim();
        _exit(status ? *status : 3);
    }
    // The request finds the clock ending: it stops listening rather than reply.
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.leftovers().size() == 1; }, 5000))
        << f.leftovers().join(", ").toStdString();
    first.reset(); // the clock ends, its lock with it
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << "the start made while the clock ended "
                                                                  "did not run as the clock: "
                                                               << status;
    EXPECT_EQ(raised, 0);
}

TEST(SingleInstance, RunningOutOfDescriptorsForAMomentDoesNotDeafenTheClock) {
    Folders f;
    SingleInstance clock(f.store("home"), f.runtime);
    int raised = 0;
    clock.onRaise = [&] { ++raised; };
    ASSERT_FALSE(clock.claim().has_value());
    QString socketName;
    for (const QString& name : f.leftovers())
        if (!name.endsWith(QLatin1String(".lock")))
            socketName = f.runtime + "/" + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketName);
    ASSERT_LT(static_cast<std::size_t>(path.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int request = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(request, 0);

    // Every descriptor taken: the clock cannot accept the request that comes now.
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit saved = limit;
    limit.rlim_cur = static_cast<rlim_t>(fcntl(request, F_DUPFD, 0)) + 1;
    ::close(static_cast<int>(limit.rlim_cur) - 1);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
    std::vector<int> filler;
    for (int fd; (fd = ::dup(request)) >= 0;)
        filler.push_back(fd);
    ASSERT_EQ(::connect(request, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    QTest::qWait(300); // the clock meets the full table
    EXPECT_EQ(raised, 0);
    for (const int fd : filler)
        ::close(fd);
    setrlimit(RLIMIT_NOFILE, &saved);

    // Descriptors again: the waiting request is answered.
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 1; }, 5000)) << "the clock stopped listening";
    char reply = 0;
    EXPECT_EQ(::recv(request, &reply, 1, MSG_DONTWAIT), 1);
    ::close(request);
}

TEST(SingleInstance, TheRuntimeFolderIsOneOnlyThisUserCanEnter) {
    Folders f;
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedCache = qgetenv("XDG_CACHE_HOME");
    const QString cache = f.dir.path() + "/cache", fallback = cache + "/morvantis";
    const QString open = f.dir.path() + "/open";
    QDir().mkpath(open);
    ::chmod(QFile::encodeName(open).constData(), 0755);
    const bool root = ::geteuid() == 0;
    const struct {
        const char* what;
        QString runtime;     // XDG_RUNTIME_DIR; empty: unset
        mode_t fallbackMode; // the cache folder as found; 0: none yet
        bool othersFallback; // it belongs to another user
        QString want;
    } cases[] = {
        {"the session's own", f.runtime, 0, false, f.runtime},
        {"unset", {}, 0, false, fallback},
        {"open to others", open, 0, false, fallback},
        {"ours but open to others, mended", {}, 0755, false, fallback},
        {"another user's", {}, 0700, true, {}},
    };
    ::chmod(QFile::encodeName(f.runtime).constData(), 0700);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.othersFallback && !root)
            continue; // only root can give a folder away
        QDir(fallback).removeRecursively();
        if (c.fallbackMode) {
            ASSERT_TRUE(QDir().mkpath(fallback));
            ::chmod(QFile::encodeName(fallback).constData(), c.fallbackMode);
            if (c.othersFallback) {
                ASSERT_EQ(::chown(QFile::encodeName(fallback).constData(), 65534, 65534), 0);
            }
        }
        if (c.runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(c.runtime));
        EXPECT_EQ(SingleInstance::runtimeFolder(), c.want);
        if (c.want == fallback) {
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(fallback).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0700u);
        }
        if (c.want.isEmpty()) {
            // No folder of its own: the clock runs, and says it cannot tell, rather than use a shared one.
            SingleInstance clock(f.store("home"));
            EXPECT_FALSE(clock.claim().has_value());
        }
    }
    savedRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);
    savedCache.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", savedCache);
}

TEST(SingleInstance, AnUnusableRuntimeFolderStillLetsTheClockRun) {
    Folders f;
    const QString notAFolder = f.dir.path() + "/file";
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    SingleInstance clock(f.store("home"), notAFolder + "/run");
    EXPECT_FALSE(clock.claim().has_value());
}

} // namespace
