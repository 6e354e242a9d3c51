#pragma once

#include "face/FaceModel.h"
#include "platform/Files.h"
#include "platform/Pictures.h"

#include <string>

namespace morvantis {

// Puts a skin folder's pictures and caption colour on the face. Each distinct file
// is decoded once per load; a load stops at the first file that fails, leaving what
// was assigned before it on the face.
class SkinLoader {
public:
    SkinLoader(Files& files, Pictures& pictures) : m_files(files), m_pictures(pictures) {}
    bool load(FaceModel& face, const std::string& themePath);

private:
    Files& m_files;
    Pictures& m_pictures;
};

} // namespace morvantis
