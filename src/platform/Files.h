#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvantis {

// The folder of skins in the program's folder (its name matched without regard to case).
inline constexpr std::string_view kSkinsFolder = "Skins";
inline std::string skinsFolderOf(const std::string& programFolder) {
    return programFolder + '/' + std::string(kSkinsFolder);
}

// The file system as the clock uses it. Paths are UTF-8 with '/' separators;
// names are matched without regard to letter case.
class Files {
public:
    virtual ~Files() = default;
    // The folder of the program's data (the executable's folder), without a trailing separator.
    virtual std::string programFolder() const = 0;
    // Names of the subfolders of a folder, ordered by name without regard to case; empty when unreadable.
    virtual std::vector<std::string> subfolders(const std::string& folder) const = 0;
    // The first line of a text file, without its line break; nothing when the file is missing,
    // unreadable or empty. At most maxBytes are read.
    virtual std::optional<std::string> firstLine(const std::string& path, std::size_t maxBytes) const = 0;
    // The existing path that matches path without regard to case, or nothing.
    virtual std::optional<std::string> resolve(const std::string& path) const = 0;
};

} // namespace morvantis
