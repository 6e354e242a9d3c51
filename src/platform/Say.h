#pragma once

#include <QString>

#include <cstdio>

namespace morvantis {

// One line for the user on standard output or standard error, out at once: the program may end
// right after it, or wait with it on screen. On Windows a window program has these streams only
// when they are redirected; otherwise the line goes nowhere.
void say(std::FILE* to, const QString& text);

// The command line's answer (help, version, a usage error, autostart), which the user asked for:
// on Windows, without redirected streams, into the console of the program that started this one
// (cmd, PowerShell), else into one message box.
void tell(std::FILE* to, const QString& text);

} // namespace morvantis
