#include "support/ScriptedDialogs.h"

namespace skarvel::test {

Answer ScriptedDialogs::nextAnswer(Answer fallback) {
    if (answers.empty()) {
        return fallback;
    }
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

Answer ScriptedDialogs::message(MessageKind kind, std::string_view text) {
    shown.push_back({kind, std::string(text)});
    const bool asks = kind == MessageKind::Confirmation || kind == MessageKind::Warning;
    return asks ? nextAnswer(Answer::No) : Answer::Ok;
}

Answer ScriptedDialogs::askInformation(std::string_view text) {
    shown.push_back({MessageKind::Information, std::string(text)});
    return nextAnswer(Answer::No);
}

Answer ScriptedDialogs::askYesNoCancel(std::string_view text) {
    shown.push_back({MessageKind::Confirmation, std::string(text)});
    return nextAnswer(Answer::Cancel);
}

Answer ScriptedDialogs::askWithCancel(MessageKind kind, std::string_view text) {
    shown.push_back({kind, std::string(text)});
    return nextAnswer(Answer::No);
}

std::size_t ScriptedDialogs::choose(MessageKind kind, std::string_view text,
                                    const std::vector<std::string>& buttons) {
    shown.push_back({kind, std::string(text)});
    buttonsShown.push_back(buttons);
    runDuringDialog();
    if (choices.empty()) {
        return buttons.size() - 1;
    }
    const std::size_t choice = choices.front();
    choices.pop_front();
    return choice;
}

void ScriptedDialogs::runDuringDialog() {
    if (duringDialog) {
        const std::function<void()> run = std::move(duringDialog);
        duringDialog = nullptr;
        run();
    }
}

ReviewAnswer ScriptedDialogs::review(std::string_view, std::string_view text, bool) {
    reviewsShown.emplace_back(text);
    runDuringDialog();
    if (reviewAnswers.empty()) {
        return {true, false};
    }
    const ReviewAnswer answer = reviewAnswers.front();
    reviewAnswers.pop_front();
    return answer;
}

std::string ScriptedDialogs::pickFolder(std::string_view instruction,
                                        std::string_view startFolder) {
    folderInstructions.emplace_back(instruction);
    if (folders.empty()) {
        return std::string(startFolder);
    }
    auto answer = folders.front();
    folders.pop_front();
    return answer ? *answer : std::string(startFolder);
}

std::optional<std::string> ScriptedDialogs::openFile(const FileDialogOptions& options) {
    fileDialogs.push_back(options);
    if (files.empty()) {
        return std::nullopt;
    }
    auto answer = files.front();
    files.pop_front();
    return answer;
}

std::optional<std::string> ScriptedDialogs::saveFile(const FileDialogOptions& options) {
    return openFile(options);
}

} // namespace skarvel::test
