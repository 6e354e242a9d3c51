#include "app/PlatformChoice.h"

#include "core/Blanks.h"

#include <QtGlobal>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace morvantis {

bool isPlatformOption(const char* argument) {
    return std::strcmp(argument, "-platform") == 0 || std::strcmp(argument, "--platform") == 0;
}

double xftDpiIn(std::string_view resources) {
    constexpr std::string_view name = "Xft.dpi";
    while (!resources.empty()) {
        const auto end = resources.find('\n');
        const std::string_view line = trimBlanks(resources.substr(0, end));
        resources = end == std::string_view::npos ? std::string_view() : resources.substr(end + 1);
        if (!line.starts_with(name))
            continue;
        std::string_view rest = trimBlanks(line.substr(name.size()));
        if (!rest.starts_with(':'))
            continue;
        rest = trimBlanks(rest.substr(1));
        double dpi = 0;
        const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), dpi);
        if (ec == std::errc{} && ptr == rest.data() + rest.size() && dpi > 0 && dpi < 1e5)
            return dpi;
    }
    return 0;
}

bool x11DrawsSharp(const std::vector<OutputLayout>& outputs, double xftDpi) {
    int largest = 1;
    for (const OutputLayout& o : outputs) {
        if (o.scale <= 1)
            continue;
        largest = std::max(largest, o.scale);
        // A turned output reports its logical size turned, its mode not.
        const bool integerLayout =
            o.logicalWidth > 0 && ((o.logicalWidth == o.modeWidth && o.logicalHeight == o.modeHeight) ||
                                   (o.logicalWidth == o.modeHeight && o.logicalHeight == o.modeWidth));
        if (!integerLayout)
            return false;
    }
    return largest == 1 || std::abs(xftDpi - 96.0 * largest) < 0.5;
}

void PlatformChoice::restoreEnvironment() const {
    if (m_set)
        qunsetenv(kVariable);
}

} // namespace morvantis
