#pragma once

#include "skins/SkinRules.h"

#include <string>
#include <vector>

namespace morvantis {

class Files;

// The skins the chooser lists: the folders of the skins folder, ordered by name without regard to
// case, and which of them is selected. The chooser shows it; the skin switch changes it.
class SkinCatalog {
public:
    SkinCatalog() = default;
    SkinCatalog(std::string skinsFolder, std::vector<std::string> names);
    // The skins folder of the program folder as it stands now.
    static SkinCatalog read(const Files& files);

    const std::vector<std::string>& names() const { return m_names; }
    int count() const { return static_cast<int>(m_names.size()); }
    // -1 while none is selected.
    int selected() const { return m_selected; }
    // The selected entry's name; empty when none is.
    std::string selectedName() const;
    // Selects an entry; an index outside the list changes nothing and says so.
    bool select(int index);
    // Entry themeNo, else the first run's entry (see firstRunEntry); false when there is no skin.
    bool choose(int themeNo);
    // The folder of an entry, and of the default skin.
    std::string path(int index) const;
    std::string defaultPath() const { return m_folder + '/' + std::string(kDefaultSkin); }

private:
    std::string m_folder;
    std::vector<std::string> m_names;
    int m_selected = -1;
};

// How putting a skin on the face came out.
enum class SkinEnd {
    Loaded,        // the chosen skin, or the default in its place
    DefaultBroken, // the default skin did not load either: the program ends with status 1
    Abandoned,     // the program began to end while a failure was being reported
};

// Loads the chosen skin; one that does not load is reported and the default tried once in its
// place. load(path) tries a skin and says whether it loaded; failed(path) reports one that did not
// and says whether to go on.
template <class Load, class Failed>
SkinEnd putSkin(const std::string& chosen, const std::string& defaultPath, Load load, Failed failed) {
    std::string path = chosen;
    for (bool fallingBack = false;; fallingBack = true) {
        const SkinOutcome outcome = afterSkinLoad(load(path), fallingBack, path);
        if (outcome == SkinOutcome::Loaded)
            return SkinEnd::Loaded;
        if (!failed(path))
            return SkinEnd::Abandoned;
        if (outcome == SkinOutcome::DefaultBroken)
            return SkinEnd::DefaultBroken;
        path = defaultPath;
    }
}

} // namespace morvantis
