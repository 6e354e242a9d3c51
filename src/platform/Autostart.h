#pragma once

#include <QString>
#include <QStringList>

namespace morvantis {

// The XDG autostart entry that starts the clock with the desktop session:
// $XDG_CONFIG_HOME/autostart/morvantis.desktop.
QString autostartEntryPath();
// On when the entry exists and is not hidden.
bool autostartIsOn();
// Writes the entry, starting program, or removes it. False with the reason in error on failure.
bool setAutostart(bool on, const QString& program, QString& error);
// The command line's --autostart [on|off]: prints the answer, or a one-line error, and
// returns the exit status (0; 2 for a bad value; 1 when the entry cannot be changed).
int autostartCommand(const QStringList& values);

} // namespace morvantis
