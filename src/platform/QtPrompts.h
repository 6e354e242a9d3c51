#pragma once

#include "platform/Prompts.h"

class QWidget;

namespace morvantis {

class QtPrompts final : public Prompts {
public:
    Answer message(const std::string& text, const std::string& title, Icon icon, Buttons buttons) override;
    std::optional<std::string> openFile(const std::string& filter) override;
};

} // namespace morvantis
