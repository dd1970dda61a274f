#include "test_support/scripted_dialogs.h"

namespace test_support {

editors::Answer ScriptedDialogs::message(const QString& text, const QString& title, editors::Buttons buttons) {
    boxes.push_back({false, text, title, buttons, {}});
    if (answers.empty()) return buttons == editors::Buttons::Ok ? editors::Answer::Ok : editors::Answer::No;
    const auto answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::input(const QString& prompt, const QString& title,
                                              const QString& defaultAnswer) {
    boxes.push_back({true, prompt, title, editors::Buttons::Ok, defaultAnswer});
    if (inputs.empty()) return std::nullopt;
    auto answer = inputs.front();
    inputs.pop_front();
    return answer;
}

std::vector<QString> ScriptedDialogs::texts() const {
    std::vector<QString> result;
    for (const auto& box : boxes) result.push_back(box.text);
    return result;
}

}  // namespace test_support
