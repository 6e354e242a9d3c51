#include "skins/SkinLoader.h"

#include "skins/SkinRules.h"

#include <array>
#include <string_view>
#include <utility>
#include <vector>

namespace morvantis {

bool SkinLoader::load(FaceModel& face, const std::string& themePath) {
    const auto folder = m_files.resolve(themePath);
    std::vector<std::pair<std::string_view, PictureHandle>> decoded;
    decoded.reserve(40);
    std::uint64_t used = 0;
    for (const SkinStep& step : kSkinLoadPlan) {
        if (step.file.empty()) {
            face.setPicture(step.element, nullptr);
            continue;
        }
        PictureHandle picture;
        for (const auto& [file, handle] : decoded)
            if (file == step.file)
                picture = handle;
        if (!picture) {
            if (!folder)
                return false;
            const auto path = m_files.resolve(*folder + "/" + std::string(step.file));
            picture = path ? m_pictures.load(*path, m_budget - used) : nullptr;
            if (!picture)
                return false;
            used +=
                static_cast<std::uint64_t>(picture->width()) * static_cast<std::uint64_t>(picture->height());
            decoded.emplace_back(step.file, picture);
        }
        if (step.background)
            face.setBackground(picture);
        else
            face.setPicture(step.element, picture);
    }
    const auto line = m_files.firstLine(themePath + "/info.txt", kInfoLineLimit);
    if (!line)
        return false;
    const auto colour = infoColour(*line);
    if (!colour)
        return false;
    face.setCaptionColor(*colour);
    return true;
}

} // namespace morvantis
