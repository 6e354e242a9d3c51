#pragma once

#include "platform/Files.h"

#include <QFile>

namespace morvantis {

// Opens a regular file for reading without ever blocking: a named pipe, socket or device
// (also behind a link) is refused, as a missing file is. Skins come from anywhere.
bool openRegularFile(const QString& path, QFile& file);

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
