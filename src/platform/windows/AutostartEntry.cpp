// The value of the user's Run key that Windows starts at logon.
#include "platform/Autostart.h"

#include <QDir>
#include <QSettings>

#include <windows.h>

namespace morvantis {

namespace {
const QString kRunKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kValue = QStringLiteral("Morvantis");
// Task Manager and Settings turn a Run entry off here and leave the Run value as it was.
constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kApprovedValue[] = L"Morvantis";

// Undocumented; Windows 10 and 11 write 12 bytes whose first has its lowest bit set for off
// (03, 07; 02 and 06 are on) and a time after it. No value is on.
bool turnedOffInWindows() {
    BYTE data[64] = {};
    DWORD size = sizeof data;
    return RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, kApprovedValue, RRF_RT_REG_BINARY, nullptr, data,
                        &size) == ERROR_SUCCESS &&
           size > 0 && (data[0] & 1) != 0;
}

bool clearWindowsChoice() {
    const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, kApprovedValue);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
} // namespace

QString autostartEntryPath() {
    return kRunKey + QLatin1Char('\\') + kValue;
}

bool autostartIsOn() {
    const QSettings run(kRunKey, QSettings::NativeFormat);
    return !run.value(kValue).toString().isEmpty() && !turnedOffInWindows();
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
    // Turned on here, on in Windows' list too; off, no choice of Windows' is left behind.
    if (run.status() != QSettings::NoError || !clearWindowsChoice()) {
        error = QStringLiteral("the key cannot be written");
        return false;
    }
    return true;
}

} // namespace morvantis
