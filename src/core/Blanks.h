#pragma once

#include <string_view>

namespace morvantis {

// The text without the blanks (spaces, tabs, line ends, form feeds) around it.
inline std::string_view trimBlanks(std::string_view s) {
    constexpr std::string_view blanks = " \t\r\n\v\f";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

} // namespace morvantis
