#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

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
        SingleInstance second(c.store, f.runtime);
        EXPECT_EQ(second.claim(), std::optional<int>(0));
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
        SingleInstance second(f.store("home"), f.runtime);
        EXPECT_EQ(second.claim(), std::optional<int>(0)) << "the new clock does not answer";
        EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 1; }, 5000));
        for (const QString& name : f.leftovers())
            if (name.endsWith(QLatin1String(".lock")))
                lockFile = f.runtime + "/" + name;
    }
    EXPECT_TRUE(f.leftovers().isEmpty())
        << "a clock that ended left " << f.leftovers().join(", ").toStdString();

    // A live holder of the lock that never answers: the start gives up and says so.
    ASSERT_FALSE(lockFile.isEmpty());
    QLockFile held(lockFile);
    ASSERT_TRUE(held.tryLock(0));
    SingleInstance blocked(f.store("home"), f.runtime);
    EXPECT_EQ(blocked.claim(), std::optional<int>(1));
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
