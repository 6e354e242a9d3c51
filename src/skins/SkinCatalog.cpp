#include "skins/SkinCatalog.h"

#include "platform/Files.h"

#include <utility>

namespace morvantis {

SkinCatalog::SkinCatalog(std::string skinsFolder, std::vector<std::string> names)
    : m_folder(std::move(skinsFolder)), m_names(std::move(names)) {}

SkinCatalog SkinCatalog::read(const Files& files) {
    std::string folder = skinsFolderOf(files.programFolder());
    std::vector<std::string> names = files.subfolders(folder);
    return SkinCatalog(std::move(folder), std::move(names));
}

std::string SkinCatalog::selectedName() const {
    return m_selected >= 0 ? m_names[static_cast<std::size_t>(m_selected)] : std::string();
}

bool SkinCatalog::select(int index) {
    if (index < 0 || index >= count())
        return false;
    m_selected = index;
    return true;
}

bool SkinCatalog::choose(int themeNo) {
    return select(themeNo) || select(firstRunEntry(count()));
}

std::string SkinCatalog::path(int index) const {
    return m_folder + '/' + m_names[static_cast<std::size_t>(index)];
}

} // namespace morvantis
