#pragma once

#include "platform/Prompts.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace morvantis::test {

// Records every message and answers from a script (Ok when the script is empty).
class FakePrompts final : public Prompts {
public:
    struct Shown {
        std::string text, title;
        Icon icon;
        Buttons buttons;
    };
    Answer message(const std::string& text, const std::string& title, Icon icon, Buttons buttons) override {
        shown.push_back({text, title, icon, buttons});
        if (onMessage)
            onMessage(shown.back());
        if (answers.empty())
            return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> openFile(const std::string& filter) override {
        filters.push_back(filter);
        if (files.empty())
            return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    std::vector<Shown> shown;
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> files;
    std::vector<std::string> filters;
    std::function<void(const Shown&)> onMessage;
};

} // namespace morvantis::test
