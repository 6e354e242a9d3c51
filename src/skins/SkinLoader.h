#pragma once

#include "face/FaceModel.h"
#include "platform/Files.h"
#include "platform/Pictures.h"
#include "skins/SkinRules.h"

#include <cstdint>
#include <string>

namespace morvantis {

// Puts a skin folder's pictures and caption colour on the face. Each distinct file
// is decoded once per load; a load stops at the first file that fails, leaving what
// was assigned before it on the face. The distinct pictures of one load share a budget of
// decoded pixels; a skin past it fails like a skin with a broken file.
class SkinLoader {
public:
    SkinLoader(Files& files, Pictures& pictures) : m_files(files), m_pictures(pictures) {}
    bool load(FaceModel& face, const std::string& themePath);
    void setPixelBudget(std::uint64_t pixels) { m_budget = pixels; }
    std::uint64_t pixelBudget() const { return m_budget; }

private:
    Files& m_files;
    Pictures& m_pictures;
    std::uint64_t m_budget = skinPixelBudget(1.0);
};

} // namespace morvantis
