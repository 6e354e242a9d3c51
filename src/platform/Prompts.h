#pragma once

#include <optional>
#include <string>

namespace morvantis {

// Modal questions to the user.
class Prompts {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };
    virtual ~Prompts() = default;
    virtual Answer message(const std::string& text, const std::string& title, Icon icon, Buttons buttons) = 0;
    // The chosen file (a full path), or nothing when cancelled. filter: "Wave Files (*.wav)".
    virtual std::optional<std::string> openFile(const std::string& filter) = 0;
};

} // namespace morvantis
