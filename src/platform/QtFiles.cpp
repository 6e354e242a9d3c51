#include "platform/QtFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace morvantis {

namespace {

QString toQ(const std::string& s) {
    return QString::fromStdString(s);
}

bool holdsSkins(const QString& folder) {
    const QDir dir(folder);
    if (!dir.exists())
        return false;
    const auto entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return std::any_of(entries.begin(), entries.end(), [](const QString& e) {
        return e.compare(QLatin1String(kSkinsFolder.data(), static_cast<qsizetype>(kSkinsFolder.size())),
                         Qt::CaseInsensitive) == 0;
    });
}

std::string findProgramFolder() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    QStringList candidates{exeDir, QDir::cleanPath(exeDir + QLatin1String("/../share/morvantis"))};
    for (const QString& d : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        candidates << d + QLatin1String("/morvantis");
    for (const QString& c : candidates)
        if (holdsSkins(c))
            return QDir::cleanPath(c).toStdString();
    return QDir::cleanPath(exeDir).toStdString();
}

} // namespace

QtFiles::QtFiles(std::string programFolder)
    : m_programFolder(programFolder.empty() ? findProgramFolder() : std::move(programFolder)) {
    while (m_programFolder.size() > 1 && m_programFolder.back() == '/')
        m_programFolder.pop_back();
}

std::vector<std::string> QtFiles::subfolders(const std::string& folder) const {
    std::vector<std::string> names;
    const auto resolved = resolve(folder);
    if (!resolved)
        return names;
    QDir dir(toQ(*resolved));
    dir.setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    for (const QString& name : dir.entryList())
        names.push_back(name.toStdString());
    return names;
}

std::optional<std::string> QtFiles::firstLine(const std::string& path, std::size_t maxBytes) const {
    const auto resolved = resolve(path);
    if (!resolved)
        return std::nullopt;
    QFile file;
    if (!openRegularFile(toQ(*resolved), file))
        return std::nullopt;
    // Read in small pieces up to the first line break, never more than maxBytes.
    std::string line;
    char buffer[512];
    bool any = false;
    while (line.size() < maxBytes) {
        const qint64 want = static_cast<qint64>(std::min(sizeof buffer, maxBytes - line.size()));
        const qint64 got = file.read(buffer, want);
        if (got <= 0)
            break;
        any = true;
        const char* begin = buffer;
        const char* end = buffer + got;
        const char* brk = std::find_if(begin, end, [](char c) { return c == '\n' || c == '\r'; });
        line.append(begin, brk);
        if (brk != end)
            break;
    }
    if (!any)
        return std::nullopt;
    return line;
}

std::optional<std::string> QtFiles::resolve(const std::string& path) const {
    const QString p = QDir::fromNativeSeparators(toQ(path));
    if (p.isEmpty())
        return std::nullopt;
    if (QFileInfo::exists(p))
        return p.toStdString();
    // Walk the components, matching each without regard to case.
    const QStringList parts = p.split(QLatin1Char('/'), Qt::KeepEmptyParts);
    QString current = p.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        const QString exact = current.isEmpty() ? part : QDir(current).filePath(part);
        if (QFileInfo::exists(exact)) {
            current = exact;
            continue;
        }
        const QDir dir(current.isEmpty() ? QStringLiteral(".") : current);
        QString match;
        for (const QString& entry :
             dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
            if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                match = entry;
                break;
            }
        }
        if (match.isEmpty())
            return std::nullopt;
        current = current.isEmpty() ? match : dir.filePath(match);
    }
    return current.toStdString();
}

} // namespace morvantis
