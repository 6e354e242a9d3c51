#pragma once

#include "face/FaceElements.h"

#include <QPoint>

#include <optional>

class QWidget;

namespace morvantis {

// The face's six buttons as a menu, for the keyboard and the right button: shows it at a point
// and answers the button chosen, or nothing.
std::optional<Element> chooseFaceButton(QWidget* parent, QPoint globalPos);

} // namespace morvantis
