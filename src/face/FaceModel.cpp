#include "face/FaceModel.h"

#include <utility>

namespace morvantis {

FaceModel::FaceModel() {
    for (std::size_t i = 0; i < kElementCount; ++i)
        m_visible[i] = kElements[i].initiallyVisible;
}

void FaceModel::setVisible(Element e, bool visible) {
    bool& v = m_visible[index(e)];
    if (v == visible)
        return;
    v = visible;
    markChanged(e);
}

void FaceModel::showOnly(FaceSet set, Element member) {
    const SetInfo& s = setInfo(set);
    for (std::size_t i = 0; i < s.size; ++i)
        setVisible(s.members[i], s.members[i] == member);
}

void FaceModel::hideSet(FaceSet set) {
    const SetInfo& s = setInfo(set);
    for (std::size_t i = 0; i < s.size; ++i)
        setVisible(s.members[i], false);
}

void FaceModel::setPicture(Element e, PictureHandle picture) {
    PictureHandle& p = m_pictures[index(e)];
    if (p == picture)
        return;
    p = std::move(picture);
    markChanged(e);
}

void FaceModel::setBackground(PictureHandle picture) {
    if (m_background == picture)
        return;
    m_background = std::move(picture);
    m_backgroundChanged = true;
}

void FaceModel::setCaption(std::string_view text) {
    if (m_caption == text)
        return;
    m_caption = text;
    markChanged(Element::Label1);
}

void FaceModel::setCaptionColor(std::uint32_t rgb) {
    if (m_captionColor == rgb)
        return;
    m_captionColor = rgb;
    markChanged(Element::Label1);
}

FaceModel::Changes FaceModel::takeChanges() {
    Changes c = m_changes;
    m_changes.reset();
    m_backgroundChanged = false;
    return c;
}

} // namespace morvantis
