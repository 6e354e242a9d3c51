#pragma once

#include "face/FaceElements.h"
#include "platform/Pictures.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvantis {

// The state of the face: per element its visibility and picture, the background
// picture and the caption. It remembers what changed since the window last asked,
// so that only those rectangles are repainted.
class FaceModel {
public:
    using Changes = std::bitset<kElementCount>;

    FaceModel();

    bool isVisible(Element e) const { return m_visible[index(e)]; }
    void setVisible(Element e, bool visible);
    void show(Element e) { setVisible(e, true); }
    void hide(Element e) { setVisible(e, false); }

    // Shows one member of a set and hides every other member.
    void showOnly(FaceSet set, Element member);
    // Hides every member of a set.
    void hideSet(FaceSet set);

    const PictureHandle& picture(Element e) const { return m_pictures[index(e)]; }
    void setPicture(Element e, PictureHandle picture);
    const PictureHandle& background() const { return m_background; }
    void setBackground(PictureHandle picture);

    const std::string& caption() const { return m_caption; }
    void setCaption(std::string_view text);
    // 0xRRGGBB
    std::uint32_t captionColor() const { return m_captionColor; }
    void setCaptionColor(std::uint32_t rgb);

    // What changed since the last call, which starts afresh.
    Changes takeChanges();
    bool backgroundChanged() const { return m_backgroundChanged; }

private:
    void markChanged(Element e) { m_changes.set(index(e)); }

    std::array<bool, kElementCount> m_visible{};
    std::array<PictureHandle, kElementCount> m_pictures{};
    PictureHandle m_background;
    std::string m_caption;
    std::uint32_t m_captionColor = 0;
    Changes m_changes;
    bool m_backgroundChanged = false;
};

} // namespace morvantis
