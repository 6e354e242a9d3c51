#include "platform/QtSettingsStore.h"
#include "settings/SettingsFormat.h"

#include "support/RunUnprivileged.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace morvantis;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class SettingsStoreFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString& name = QStringLiteral("Morvantis.conf")) const {
        return m_dir.filePath(name);
    }
    QTemporaryDir m_dir;
};

const std::vector<std::string> kAwkwardTexts = {
    "",
    "plain",
    "line one\nline two\n",
    "windows\r\nline",
    "\ttab\tinside",
    "  leading and trailing  ",
    "\"double\" and 'single' quotes",
    "\"",
    "a,b, c",
    "semi;colon # hash",
    ";looks like a comment",
    "[StartUp]",
    "key=value",
    "back\\slash\\",
    "C:\\Program Files\\Morvantis\\alarm.wav",
    "@Variant(\\0\\0\\0\\x7f)",
    "@at start",
    "%41%20percent",
    "\xc3\xbc\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x99\x82", // ü é 日本 🙂
    "true",
    std::string(350, 'x'),
    std::string("nul\0inside", 10),
};

} // namespace

TEST_F(SettingsStoreFile, AwkwardTextsRoundTripThroughTheFile) {
    {
        QtSettingsStore store(path());
        for (std::size_t i = 0; i < kAwkwardTexts.size(); ++i)
            store.write("StartUp", "Text" + std::to_string(i), kAwkwardTexts[i]);
        for (std::size_t i = 0; i < kAwkwardTexts.size(); ++i)
            EXPECT_EQ(store.read("StartUp", "Text" + std::to_string(i)), kAwkwardTexts[i])
                << "before commit " << i;
        std::string error;
        ASSERT_TRUE(store.commit(error)) << error;
        for (std::size_t i = 0; i < kAwkwardTexts.size(); ++i)
            EXPECT_EQ(store.read("StartUp", "Text" + std::to_string(i)), kAwkwardTexts[i])
                << "after commit " << i;
    }
    ASSERT_TRUE(QFile::exists(path()));
    QtSettingsStore fresh(path());
    for (std::size_t i = 0; i < kAwkwardTexts.size(); ++i)
        EXPECT_EQ(fresh.read("StartUp", "Text" + std::to_string(i)), kAwkwardTexts[i]) << "fresh " << i;
    EXPECT_EQ(fresh.read("StartUp", "Missing"), std::nullopt);
    EXPECT_EQ(fresh.read("Elsewhere", "Text1"), std::nullopt);
}

TEST_F(SettingsStoreFile, KeysOnDiskMatchWithoutRegardToCase) {
    writeFile(path(), "[startup]\n24hours=False\nTHEME=Blue\n");
    QtSettingsStore store(path());
    EXPECT_EQ(store.read("StartUp", "24Hours"), "False");
    EXPECT_EQ(store.read("StartUp", "Theme"), "Blue");
    EXPECT_EQ(store.read("STARTUP", "theme"), "Blue");

    store.write("StartUp", "24Hours", "True");
    EXPECT_EQ(store.read("StartUp", "24hours"), "True");
    std::string error;
    ASSERT_TRUE(store.commit(error)) << error;

    const QByteArray text = fileBytes(path());
    EXPECT_TRUE(text.contains("24Hours=True")) << text.constData();
    EXPECT_FALSE(text.contains("24hours")) << text.constData();
    EXPECT_TRUE(text.contains("THEME=Blue")) << text.constData(); // untouched keys keep their spelling
    QtSettingsStore fresh(path());
    EXPECT_EQ(fresh.read("StartUp", "24HOURS"), "True");
}

TEST_F(SettingsStoreFile, ASaveLeavesOneSpellingWhereSeveralWere) {
    writeFile(path(), "[StartUp]\n24hours=False\n24HOURS=0\n24Hours=-1\n");
    QtSettingsStore store(path());
    EXPECT_EQ(store.read("StartUp", "24Hours"), "-1"); // the exact spelling wins
    store.write("StartUp", "24Hours", "True");
    std::string error;
    ASSERT_TRUE(store.commit(error)) << error;
    const QByteArray text = fileBytes(path());
    EXPECT_EQ(text.toLower().count("24hours"), 1) << text.constData();
    EXPECT_EQ(QtSettingsStore(path()).read("StartUp", "24hours"), "True");
}

TEST_F(SettingsStoreFile, AHandWrittenValueWithCommasIsReadAsWritten) {
    const struct {
        const char* line;
        const char* text;
    } cases[] = {
        {"MusicCustom=Wake up, it is late", "Wake up, it is late"},
        {"MusicCustom=a,b", "a,b"},
        {"musiccustom = one ,two,,three  ", "one ,two,,three"},
        {"MusicCustom=Say \"hi\", then  go", "Say \"hi\", then  go"},
        {"MusicCustom=first\\nsecond, third", "first\nsecond, third"},
    };
    for (const auto& c : cases) {
        writeFile(path(), QByteArray("[StartUp]\nTheme=x,y\n") + c.line + "\nThemeNo=1\n");
        EXPECT_EQ(QtSettingsStore(path()).read("StartUp", "MusicCustom"), c.text) << c.line;
    }
}

TEST_F(SettingsStoreFile, EveryKeyOfTheProgramSurvivesASaveAndAStart) {
    Settings s;
    readSettings(*std::make_unique<QtSettingsStore>(path()), s, "/opt/m");
    s.alarm.message = "Line one\n\tLine \"two\"\n\xc3\xa9t\xc3\xa9";
    setDialHour(s.alarm, {7, Meridiem::PM});
    s.ShakeSpeed = -32768;
    s.LightOn = true;
    {
        QtSettingsStore store(path());
        std::string error;
        ASSERT_TRUE(writeSettings(store, s, 1234.5f, -15.0f, "/opt/m", error)) << error;
    }
    QtSettingsStore store(path());
    Settings back;
    const StoredPosition position = readSettings(store, back, "/elsewhere");
    EXPECT_EQ(back, s);
    EXPECT_EQ(position.left, 1234.5f);
    EXPECT_EQ(position.top, -15.0f);
    EXPECT_EQ(store.read("StartUp", "Path"), "/opt/m");
}

TEST(SettingsStoreLocation, ThePerUserFileLivesUnderTheConfigFolder) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    {
        QtSettingsStore store;
        EXPECT_EQ(QFileInfo(store.fileName()).absoluteFilePath(),
                  QFileInfo(home.filePath("Morvantis/Morvantis.conf")).absoluteFilePath());
        store.write("StartUp", "Theme", "Digital");
        std::string error;
        ASSERT_TRUE(store.commit(error)) << error;
    }
    EXPECT_TRUE(fileBytes(home.filePath("Morvantis/Morvantis.conf")).contains("Theme=Digital"));
    EXPECT_EQ(QtSettingsStore().read("StartUp", "theme"), "Digital");
    if (previous.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", previous);
}

TEST_F(SettingsStoreFile, AnUnwritablePlaceFailsWithAOneLineReason) {
    // Whatever the user's rights: the file's place is taken by a folder, or its folder by a file.
    const QString taken[] = {path("occupied.conf"), path("plainfile") + QStringLiteral("/Morvantis.conf")};
    ASSERT_TRUE(QDir().mkpath(taken[0]));
    writeFile(path("plainfile"), "not a folder");
    for (const QString& where : taken) {
        QtSettingsStore store(where);
        store.write("StartUp", "Theme", "Digital");
        std::string error;
        EXPECT_FALSE(store.commit(error)) << where.toStdString();
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(store.read("StartUp", "Theme"), "Digital"); // the values are still there to retry
    }
    EXPECT_EQ(fileBytes(path("plainfile")).toStdString(), "not a folder");
}

TEST_F(SettingsStoreFile, ASaveCanBeRetriedOnceThePlaceIsFree) {
    const QString where = path("later.conf");
    ASSERT_TRUE(QDir().mkpath(where));
    QtSettingsStore store(where);
    store.write("StartUp", "Theme", "Digital");
    std::string error;
    ASSERT_FALSE(store.commit(error));
    ASSERT_TRUE(QDir().rmdir(where));
    store.write("StartUp", "ThemeNo", "2");
    EXPECT_TRUE(store.commit(error)) << error;
    QtSettingsStore fresh(where);
    EXPECT_EQ(fresh.read("StartUp", "Theme"), "Digital");
    EXPECT_EQ(fresh.read("StartUp", "ThemeNo"), "2");
}

TEST_F(SettingsStoreFile, AFileWithAMalformedLineIsStillSaved) {
    writeFile(path(), "[StartUp]\nno equals sign\nTheme=Blue\n");
    QtSettingsStore store(path());
    EXPECT_EQ(store.read("StartUp", "Theme"), "Blue");
    store.write("StartUp", "ThemeNo", "2");
    std::string error;
    EXPECT_TRUE(store.commit(error)) << error;
    store.write("StartUp", "ThemeNo", "3");
    EXPECT_TRUE(store.commit(error)) << error;
    QtSettingsStore fresh(path());
    EXPECT_EQ(fresh.read("StartUp", "Theme"), "Blue");
    EXPECT_EQ(fresh.read("StartUp", "ThemeNo"), "3");
}

// QSettings would decode these values with a binary reader that believes the list's count
// (here 4 billion items): the line goes, the other settings stay, and the file saves again.
TEST_F(SettingsStoreFile, AValueQSettingsWouldDecodeAsDataIsDropped) {
    const char* const hostile[] = {
        "ThemeNo=@Variant(\\0\\0\\0\\t\\xff\\xff\\xff\\xff)\n",
        "ThemeNo=\\x40Variant(\\0\\0\\0\\t\\xff\\xff\\xff\\xff)\n",        // the "@" escaped in hex
        "ThemeNo=\\100Variant(\\0\\0\\0\\t\\xff\\xff\\xff\\xff)\n",        // and in octal
        "ThemeNo=\"@Variant(\\0\\0\\0\\t\\xff\\xff\\xff\\xff)\"\n",        // quoted
        "ThemeNo=1, @Variant(\\0\\0\\0\\t\\xff\\xff\\xff\\xff)\n",         // one element of a list
        "ThemeNo=@Var\\\niant(\\0\\0\\0\\t\\xff\\xff\\xff\\xff)\n",        // continued on the next line
        "ThemeNo=@Variant(\\0\\0\\0\\t\\xff\\xff\\xff\\xff)\rTheme=Red\r", // old Mac line ends
    };
    for (const char* line : hostile) {
        SCOPED_TRACE(line);
        const QByteArray text =
            QByteArray("[StartUp]\n24Hours=False\n") + line + "MusicCustom=@@Variant(x)\n";
        writeFile(path(), text);
        QtSettingsStore store(path());
        EXPECT_EQ(store.read("StartUp", "ThemeNo"), std::nullopt);
        EXPECT_EQ(store.read("StartUp", "24Hours"), "False");
        EXPECT_EQ(store.read("StartUp", "MusicCustom"), "@Variant(x)") << "a text QSettings wrote is kept";
        store.write("StartUp", "ThemeNo", "2");
        std::string error;
        EXPECT_TRUE(store.commit(error)) << error;
        QtSettingsStore fresh(path());
        EXPECT_EQ(fresh.read("StartUp", "ThemeNo"), "2");
        EXPECT_FALSE(fileBytes(path()).contains("Variant(\\0")) << fileBytes(path()).constData();
    }
}

TEST_F(SettingsStoreFile, AReadOnlyFolderKeepsThePreviousFile) {
    const QString folder = m_dir.filePath(QStringLiteral("config"));
    const QString file = folder + QStringLiteral("/Morvantis.conf");
    // The malformed line makes QSettings report a format error from loading on: that must
    // not pass for a successful save.
    const QByteArray before = "[StartUp]\nTheme=Digital\nno equals sign\nMusicCustom=keep me\n";
    writeFile(file, before);
    ASSERT_EQ(chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
    // The file itself stays writable: only the folder forbids the temporary file a safe save needs.
    ASSERT_EQ(chmod(QFile::encodeName(file).constData(), 0666), 0);
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);

    const auto outcome = test::runUnprivileged([&] {
        QtSettingsStore store(file);
        if (store.read("StartUp", "MusicCustom") != "keep me")
            return 3;
        store.write("StartUp", "MusicCustom", "changed");
        store.write("StartUp", "Theme", std::string(4096, 'x'));
        std::string error;
        if (store.commit(error))
            return 1;
        const std::string said =
            "Settings could not be saved to " + file.toStdString() + ": Permission denied";
        return error != said ? 2 : 0;
    });
    chmod(QFile::encodeName(folder).constData(), 0755);
    if (!outcome)
        GTEST_SKIP() << "could not run the check as an unprivileged user, and permissions do not bind root";
    EXPECT_EQ(*outcome, 0) << "3: old file unreadable, 1: commit succeeded, 2: not the file and the reason";
    EXPECT_EQ(fileBytes(file).toStdString(), before.toStdString());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("Morvantis.conf")});
}

TEST_F(SettingsStoreFile, ALockFileMakesASaveWaitBrieflyAndAStaleOneIsTakenOver) {
    const QString file = path();
    const QString lock = file + QStringLiteral(".lock");
    std::optional<QLockFile> holder; // another save in progress
    const pid_t gone = fork();       // a process that has ended
    if (gone == 0)
        _exit(0);
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    const auto lockOf = [](qint64 pid) {
        return QByteArray::number(pid) + "\nsomeprogram\n" + QSysInfo::machineHostName().toUtf8() + "\n";
    };
    const struct {
        const char* what;
        std::function<void()> make;
        bool saved;
        std::string reason;
    } cases[] = {
        {"a folder", [&] { QDir().mkpath(lock); }, false,
         "its lock file " + lock.toStdString() + " is not a file"},
        {"a running program", [&] { ASSERT_TRUE(holder.emplace(lock).tryLock(0)); }, false,
         "the file is locked by another program (process " + std::to_string(getpid()) + ")"},
        {"junk", [&] { writeFile(lock, "\x01\x02 not a lock"); }, true, ""},
        {"a program that has ended", [&] { writeFile(lock, lockOf(gone)); }, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(lock).removeRecursively();
        QFile::remove(lock);
        c.make();
        QtSettingsStore store(file);
        store.write("StartUp", "Theme", c.what);
        std::string error;
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(store.commit(error), c.saved) << error;
        EXPECT_LT(timer.elapsed(), 4000);
        if (c.saved) {
            EXPECT_EQ(QtSettingsStore(file).read("StartUp", "Theme"), c.what);
            EXPECT_FALSE(QFileInfo::exists(lock)); // taken over, then released
        } else {
            EXPECT_EQ(error, "Settings could not be saved to " + file.toStdString() + ": " + c.reason);
            EXPECT_TRUE(QFileInfo::exists(lock)); // another's lock is left alone
        }
        holder.reset();
    }
}
