// The XDG autostart entry.
#include "platform/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace morvantis {

namespace {

// The program as one argument of Exec: quoted where the desktop entry format asks for it,
// then escaped as a string value.
QString execArgument(const QString& program) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = program;
    arg.replace(QLatin1Char('%'), QLatin1String("%%"));
    bool quote = false;
    for (const QChar c : arg)
        quote = quote || reserved.contains(c);
    if (quote) {
        QString quoted;
        for (const QChar c : arg) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        arg = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    arg.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return arg;
}

} // namespace

QString autostartEntryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1String("/autostart/morvantis.desktop");
}

bool autostartIsOn() {
    QFile file(autostartEntryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    // A desktop entry with Hidden=true counts as deleted.
    while (!file.atEnd()) {
        const QByteArray line = file.readLine(4096);
        const auto equals = line.indexOf('=');
        if (equals > 0 && line.left(equals).trimmed() == "Hidden" && line.mid(equals + 1).trimmed() == "true")
            return false;
    }
    return true;
}

bool setAutostart(bool on, const QString& program, QString& error) {
    const QString path = autostartEntryPath();
    if (!on) {
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return true;
        QFile file(path);
        if (file.remove())
            return true;
        error = file.errorString();
        return false;
    }
    if (program.contains(QLatin1Char('\n')) || program.contains(QLatin1Char('\r'))) {
        error = QStringLiteral("the program's path holds a line break");
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = QStringLiteral("cannot create ") + QFileInfo(path).absolutePath();
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        error = file.errorString();
        return false;
    }
    // TryExec: once the program is gone, the session skips the entry instead of failing on it.
    const QString entry =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Morvantis\n"
                       "Comment=Starts the Morvantis clock with the desktop session\n"
                       "Exec=%1\n"
                       "TryExec=%2\n"
                       "Terminal=false\n")
            .arg(execArgument(program), QString(program).replace(QLatin1Char('\\'), QLatin1String("\\\\")));
    file.write(entry.toUtf8());
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace morvantis
