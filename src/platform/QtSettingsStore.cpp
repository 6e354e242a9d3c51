#include "platform/QtSettingsStore.h"

#include "platform/FileChecks.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace morvantis {

namespace {

bool isRegistry(const QString& fileName) {
    return fileName.startsWith(QLatin1String("\\HKEY_"));
}

// A value's text with the escapes QSettings writes read back; any other character stays as it is.
QString unescaped(const QString& text) {
    const QString letters = QStringLiteral("abfnrtv"), controls = QStringLiteral("\a\b\f\n\r\t\v");
    const QString hex = QStringLiteral("0123456789abcdefABCDEF");
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        if (const auto at = letters.indexOf(next); at >= 0) {
            out += controls[at];
        } else if (QStringLiteral("\"'?\\").contains(next)) {
            out += next;
        } else if (next == u'x') {
            qsizetype end = i + 1;
            while (end < text.size() && end <= i + 4 && hex.contains(text[end]))
                ++end;
            out +=
                QChar(static_cast<char16_t>(QStringView(text).mid(i + 1, end - i - 1).toUInt(nullptr, 16)));
            i = end - 1;
        } else {
            out += u'\\';
            out += next;
        }
    }
    return out;
}

// The text of section/key as it stands in an INI file (the last time it stands there), blanks
// around it dropped; nothing when it is not there.
std::optional<QString> writtenText(const QString& file, const QString& section, const QString& key) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    std::optional<QString> found;
    bool inSection = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = line == QLatin1Char('[') + section + QLatin1Char(']');
            continue;
        }
        const auto equals = line.indexOf(QLatin1Char('='));
        if (inSection && equals > 0 && line.left(equals).trimmed() == key)
            found = unescaped(line.mid(equals + 1).trimmed());
    }
    return found;
}

// The value of an ASCII digit in the base, or -1.
int digitOf(QChar c, int base) {
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= u'0' && u <= u'9')
        d = u - u'0';
    else if (u >= u'a' && u <= u'f')
        d = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        d = u - u'A' + 10;
    return d < base ? d : -1;
}

// QSettings decodes a value element written "@Variant(...)" or "@DateTime(...)" with QDataStream,
// which trusts the counts it reads: a few bytes of a damaged or hostile file ask for gigabytes
// and end the program. The clock stores texts only (QSettings writes a text starting with "@"
// as "@@"), so such a value is no setting of its own. The value is read as QSettings reads it:
// escapes (hex and octal too) resolved, quotes dropped, elements split at the commas.
bool decodedAsData(const QString& line) {
    const QString trimmed = line.trimmed();
    const auto equals = trimmed.indexOf(QLatin1Char('='));
    if (equals <= 0 || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')) ||
        trimmed.startsWith(QLatin1Char('[')))
        return false;
    const QString value = trimmed.mid(equals + 1);
    const QString letters = QStringLiteral("abfnrtv"), controls = QStringLiteral("\a\b\f\n\r\t\v");
    QStringList elements{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            const int base = next == u'x' ? 16 : next >= u'0' && next <= u'7' ? 8 : 0;
            if (base) {
                // As QSettings does: any number of digits, the code kept to 16 bits.
                std::uint32_t code = base == 8 ? static_cast<std::uint32_t>(next.unicode() - u'0') : 0;
                int digit = 0;
                while (i + 1 < value.size() && (digit = digitOf(value[i + 1], base)) >= 0) {
                    code = (code * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit)) &
                           0xffffu;
                    ++i;
                }
                elements.last() += QChar(static_cast<char16_t>(code));
            } else if (const auto at = letters.indexOf(next); at >= 0) {
                elements.last() += controls[at];
            } else {
                elements.last() += next;
            }
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (c == u',' && !quoted) {
            elements.append(QString());
        } else {
            elements.last() += c;
        }
    }
    return std::any_of(elements.cbegin(), elements.cend(), [](const QString& e) {
        const QString t = e.trimmed();
        return t.startsWith(QLatin1String("@Variant(")) || t.startsWith(QLatin1String("@DateTime("));
    });
}

enum class Mend { Nothing, Mended, Failed };

// Drops from the INI file at path the lines QSettings would decode as data; the rest stays
// byte for byte. Only a regular file is read: a named pipe would block the reading.
Mend mendDecodedValues(const QString& path) {
    if (!QFileInfo(path).isFile())
        return Mend::Nothing;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return Mend::Nothing; // QSettings cannot read it either
    const QByteArray bytes = in.readAll();
    in.close();
    QByteArray kept;
    kept.reserve(bytes.size());
    bool dropped = false;
    qsizetype at = 0;
    while (at < bytes.size()) {
        // One line as QSettings reads it: "\n", "\r" or "\r\n" ends it, unless a backslash
        // stands before the end, which joins the next line to it.
        qsizetype end = at;
        QByteArray joined;
        for (;;) {
            qsizetype stop = end;
            while (stop < bytes.size() && bytes[stop] != '\n' && bytes[stop] != '\r')
                ++stop;
            const bool continued = stop < bytes.size() && stop > end && bytes[stop - 1] == '\\';
            joined += bytes.mid(end, stop - end - (continued ? 1 : 0));
            end = stop;
            if (end < bytes.size())
                end += bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
            if (!continued || end >= bytes.size())
                break;
        }
        if (decodedAsData(QString::fromUtf8(joined)))
            dropped = true;
        else
            kept += bytes.mid(at, end - at);
        at = end;
    }
    if (!dropped)
        return Mend::Nothing;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(kept) != kept.size() || !out.commit())
        return Mend::Failed;
    return Mend::Mended;
}

} // namespace

QtSettingsStore::QtSettingsStore() : m_settings(open()) {}

QtSettingsStore::QtSettingsStore(const QString& filePath) : m_filePath(filePath), m_settings(open()) {}

QtSettingsStore::~QtSettingsStore() = default;

std::unique_ptr<QSettings> QtSettingsStore::open() {
    const auto make = [this] {
        auto settings =
            m_filePath.isEmpty()
                ? std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                              QStringLiteral("Morvantis"), QStringLiteral("Morvantis"))
                : std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
        // A failed save must leave the previous file whole: no direct-write fallback.
        settings->setAtomicSyncRequired(true);
        return settings;
    };
    // Made first for the file's name only: QSettings reads the file here but decodes no value yet.
    auto settings = make();
    m_unsafe = false;
    if (isRegistry(settings->fileName()))
        return settings; // its values are the texts the clock wrote itself
    switch (mendDecodedValues(settings->fileName())) {
    case Mend::Nothing:
        break;
    case Mend::Mended:
        // The file's size has changed: QSettings reads it afresh.
        settings.reset();
        settings = make();
        break;
    case Mend::Failed:
        // Not one value of it may be looked at: the settings are the defaults, and no save is made.
        m_unsafe = true;
        break;
    }
    return settings;
}

QString QtSettingsStore::fileName() const {
    return m_settings->fileName();
}

QStringList QtSettingsStore::spellingsOf(const QString& section, const QString& key) const {
    if (!m_keys) {
        m_keys.emplace();
        for (const QString& group : m_settings->childGroups()) {
            m_settings->beginGroup(group);
            m_keys->emplace_back(group, m_settings->childKeys());
            m_settings->endGroup();
        }
    }
    QStringList found;
    for (const auto& [group, keys] : *m_keys) {
        if (group.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        for (const QString& k : keys) {
            if (k.compare(key, Qt::CaseInsensitive) == 0)
                found.append(group + QLatin1Char('/') + k);
        }
    }
    const QString exact = section + QLatin1Char('/') + key;
    if (const auto i = found.indexOf(exact); i > 0)
        found.move(i, 0);
    return found;
}

std::optional<std::string> QtSettingsStore::read(const std::string& section, const std::string& key) {
    if (const auto* pending = unsaved(QString::fromStdString(section), QString::fromStdString(key)))
        return pending->value.toStdString();
    if (m_unsafe)
        return std::nullopt;
    const QStringList spellings = spellingsOf(QString::fromStdString(section), QString::fromStdString(key));
    if (spellings.isEmpty())
        return std::nullopt;
    const QVariant value = m_settings->value(spellings.front());
    // QSettings takes an unquoted hand-written value with commas for a list: take the text as written.
    if (value.typeId() == QMetaType::QStringList) {
        const QString& where = spellings.front();
        const auto slash = where.indexOf(QLatin1Char('/'));
        if (const auto text = writtenText(fileName(), where.left(slash), where.mid(slash + 1)))
            return text->toStdString();
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    }
    return value.toString().toStdString();
}

void QtSettingsStore::apply(const QString& section, const QString& key, const QString& value) {
    const QString exact = section + QLatin1Char('/') + key;
    for (const QString& spelling : spellingsOf(section, key)) {
        if (spelling != exact)
            m_settings->remove(spelling);
    }
    m_settings->setValue(exact, value);
    m_keys.reset();
}

QtSettingsStore::Unsaved* QtSettingsStore::unsaved(const QString& section, const QString& key) {
    for (Unsaved& entry : m_unsaved)
        if (entry.section.compare(section, Qt::CaseInsensitive) == 0 &&
            entry.key.compare(key, Qt::CaseInsensitive) == 0)
            return &entry;
    return nullptr;
}

void QtSettingsStore::write(const std::string& section, const std::string& key, const std::string& value) {
    // Held here until the save: QSettings saves pending changes on its own (from the event
    // loop, on destruction), and would wait there without limit for a lock held by another.
    const QString qSection = QString::fromStdString(section);
    const QString qKey = QString::fromStdString(key);
    const QString qValue = QString::fromStdString(value);
    if (Unsaved* pending = unsaved(qSection, qKey))
        *pending = {qSection, qKey, qValue};
    else
        m_unsaved.push_back({qSection, qKey, qValue});
}

namespace {
// Tells whether a save replaced the file: QSettings writes a new file and renames it over the old.
struct FileStamp {
    bool exists;
    qint64 size;
    QDateTime changed, modified;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const QString& path) {
    const QFileInfo info(path);
    return {info.exists(), info.size(), info.fileTime(QFileDevice::FileMetadataChangeTime),
            info.lastModified()};
}
} // namespace

namespace {

std::string nativePath(const QString& path) {
    return QDir::toNativeSeparators(path).toStdString();
}

// QSettings waits for its lock file without limit, and for ever for one it cannot remove (a
// folder). Wait here instead, briefly: a lock left by a process that is gone, or one that
// holds no lock information at all, is taken over; one held by a running program fails the save.
bool lockIsFree(const QString& lockPath, std::string& reason) {
    // Never open anything but a regular file: a named pipe would block the reading.
    if (isOtherThanFile(lockPath)) {
        reason = "its lock file " + nativePath(lockPath) + " is not a file";
        return false;
    }
    QLockFile lock(lockPath);
    lock.setStaleLockTime(0); // only a lock whose process is gone is stale by itself
    if (lock.tryLock(QtSettingsStore::kLockWait))
        return true;
    if (lock.error() != QLockFile::LockFailedError)
        return true; // cannot even be tried: the save itself tells why
    qint64 pid = 0;
    QString host, app;
    if (lock.getLockInfo(&pid, &host, &app)) {
        reason = "the file is locked by another program (process " + std::to_string(pid) + ")";
        return false;
    }
    if (!lock.removeStaleLockFile() || !lock.tryLock(0)) {
        reason = "its lock file " + nativePath(lockPath) + " cannot be taken over";
        return false;
    }
    return true;
}

// Why the file cannot be written, in the system's words; the file itself is left untouched.
std::string whyUnwritable(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return std::strerror(EISDIR);
    if (std::string why = whyNotWritable(path); !why.empty())
        return why;
    return "the file or its folder cannot be written";
}

} // namespace

bool QtSettingsStore::commit(std::string& error) {
    if (m_reopen) {
        m_settings.reset();
        m_settings = open();
        m_keys.reset();
    }
    const QString file = fileName();
    // Windows' native store is the registry: no file, no lock, and QSettings writes each value itself.
    const bool registry = isRegistry(file);
    if (m_unsafe) {
        error = "Settings could not be saved to " + nativePath(file) + ": " + whyUnwritable(file);
        return false;
    }
    std::string reason;
    if (!registry && !lockIsFree(file + QLatin1String(".lock"), reason)) {
        error = "Settings could not be saved to " + nativePath(file) + ": " + reason;
        return false;
    }
    for (const Unsaved& w : m_unsaved)
        apply(w.section, w.key, w.value);
    // (A program that takes the lock in this instant makes QSettings wait for it: it saves quickly.)
    const FileStamp before = stampOf(file);
    m_settings->sync();
    m_keys.reset(); // sync also reads what others wrote meanwhile
    const QSettings::Status status = m_settings->status();
    m_reopen = status != QSettings::NoError;
    // A format error may be left over from loading a hand-edited file; the save itself can
    // still have gone through, dropping the malformed lines.
    if (status == QSettings::NoError || (status == QSettings::FormatError && stampOf(file) != before)) {
        m_unsaved.clear();
        return true;
    }
    error = "Settings could not be saved to " + nativePath(file) + ": " +
            (registry ? std::string("the registry key cannot be written") : whyUnwritable(file));
    return false;
}

} // namespace morvantis
