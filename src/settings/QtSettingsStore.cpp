#include "settings/QtSettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace morvantis {

namespace {

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

} // namespace

QtSettingsStore::QtSettingsStore() : m_settings(open()) {}

QtSettingsStore::QtSettingsStore(const QString& filePath) : m_filePath(filePath), m_settings(open()) {}

QtSettingsStore::~QtSettingsStore() = default;

std::unique_ptr<QSettings> QtSettingsStore::open() const {
    auto settings =
        m_filePath.isEmpty()
            ? std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                          QStringLiteral("Morvantis"), QStringLiteral("Morvantis"))
            : std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
    // A failed save must leave the previous file whole: no direct-write fallback.
    settings->setAtomicSyncRequired(true);
    return settings;
}

QString QtSettingsStore::fileName() const {
    return m_settings->fileName();
}

QStringList QtSettingsStore::spellingsOf(const QString& section, const QString& key) const {
    QStringList found;
    const QStringList groups = m_settings->childGroups();
    for (const QString& group : groups) {
        if (group.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        m_settings->beginGroup(group);
        const QStringList keys = m_settings->childKeys();
        m_settings->endGroup();
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
}

void QtSettingsStore::write(const std::string& section, const std::string& key, const std::string& value) {
    const QString qSection = QString::fromStdString(section);
    const QString qKey = QString::fromStdString(key);
    const QString qValue = QString::fromStdString(value);
    apply(qSection, qKey, qValue);
    m_unsaved.push_back({{qSection, qKey}, qValue});
}

void QtSettingsStore::reopen() {
    m_settings.reset();
    m_settings = open();
    for (const auto& [where, value] : m_unsaved)
        apply(where.first, where.second, value);
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

bool QtSettingsStore::commit(std::string& error) {
    if (m_reopen)
        reopen();
    const FileStamp before = stampOf(fileName());
    m_settings->sync();
    const QSettings::Status status = m_settings->status();
    m_reopen = status != QSettings::NoError;
    // A format error may be left over from loading a hand-edited file; the save itself can
    // still have gone through, dropping the malformed lines.
    if (status == QSettings::NoError || (status == QSettings::FormatError && stampOf(fileName()) != before)) {
        m_unsaved.clear();
        return true;
    }
    error = "Could not save the settings to " + QDir::toNativeSeparators(fileName()).toStdString() +
            ": the file or its folder cannot be written.";
    return false;
}

} // namespace morvantis
