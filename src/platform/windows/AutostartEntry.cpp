// The value of the user's Run key that Windows starts at logon.
#include "platform/Autostart.h"

#include <QDir>
#include <QSettings>

namespace morvantis {

namespace {
const QString kRunKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kValue = QStringLiteral("Morvantis");
} // namespace

QString autostartEntryPath() {
    return kRunKey + QLatin1Char('\\') + kValue;
}

bool autostartIsOn() {
    const QSettings run(kRunKey, QSettings::NativeFormat);
    return !run.value(kValue).toString().isEmpty();
}

bool setAutostart(bool on, const QString& program, QString& error) {
    QSettings run(kRunKey, QSettings::NativeFormat);
    if (on) {
        // Quoted: the path may hold blanks, and the value is a command line.
        run.setValue(kValue, QLatin1Char('"') + QDir::toNativeSeparators(program) + QLatin1Char('"'));
    } else {
        run.remove(kValue);
    }
    run.sync();
    if (run.status() != QSettings::NoError) {
        error = QStringLiteral("the key cannot be written");
        return false;
    }
    return true;
}

} // namespace morvantis
