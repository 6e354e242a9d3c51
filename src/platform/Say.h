#pragma once

#include <QString>

#include <cstdio>

namespace morvantis {

// One line for the user on standard output or standard error, out at once: the program may end
// right after it, or wait with it on screen.
inline void say(std::FILE* to, const QString& text) {
    std::fprintf(to, "%s\n", qPrintable(text));
    std::fflush(to);
}

} // namespace morvantis
