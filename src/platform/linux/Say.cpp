#include "platform/Say.h"

namespace morvantis {

void say(std::FILE* to, const QString& text) {
    std::fprintf(to, "%s\n", qPrintable(text));
    std::fflush(to);
}

void tell(std::FILE* to, const QString& text) {
    say(to, text);
}

} // namespace morvantis
