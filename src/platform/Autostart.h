#pragma once

#include <QString>
#include <QStringList>

namespace morvantis {

// The entry that starts the clock with the desktop session: on Linux the XDG autostart file
// $XDG_CONFIG_HOME/autostart/morvantis.desktop, on Windows the value Morvantis of the
// user's Run key.
QString autostartEntryPath();
// On when the entry exists and is not hidden.
bool autostartIsOn();
// Writes the entry, starting program, or removes it. False with the reason in error on failure.
bool setAutostart(bool on, const QString& program, QString& error);
// The command line's --autostart [on|off]: prints the answer, or a one-line error, and
// returns the exit status (0; 2 for a bad value; 1 when the entry cannot be changed).
int autostartCommand(const QStringList& values);

} // namespace morvantis
