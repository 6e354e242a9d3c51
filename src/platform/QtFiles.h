#pragma once

#include "platform/FileChecks.h"
#include "platform/Files.h"

#include <QFile>

namespace morvantis {

class QtFiles final : public Files {
public:
    // programFolder empty: the executable's folder, or the installed data folder that holds the skins.
    explicit QtFiles(std::string programFolder = {});
    std::string programFolder() const override { return m_programFolder; }
    std::vector<std::string> subfolders(const std::string& folder) const override;
    std::optional<std::string> firstLine(const std::string& path, std::size_t maxBytes) const override;
    std::optional<std::string> resolve(const std::string& path) const override;

private:
    std::string m_programFolder;
};

} // namespace morvantis
