#include "settings/QtSettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace morvantis {

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
    // An unquoted hand-written value with commas comes back as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", ")).toStdString();
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
