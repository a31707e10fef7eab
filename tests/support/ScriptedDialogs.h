#pragma once

#include "ports/Dialogs.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace skarvel::test {

// Dialogs that answer from a script and record every text they were shown.
// Questions without a scripted answer are answered No; folder and file pickers without a
// scripted answer are cancelled.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        MessageKind kind;
        std::string text;
    };

    Answer message(MessageKind kind, std::string_view text) override;
    Answer askInformation(std::string_view text) override;
    Answer askYesNoCancel(std::string_view text) override;
    Answer askWithCancel(MessageKind kind, std::string_view text) override;
    // Answers from choices; without one, the last button (the way back).
    std::size_t choose(MessageKind kind, std::string_view text,
                       const std::vector<std::string>& buttons) override;
    // Answers from reviewAnswers; without one, Save.
    ReviewAnswer review(std::string_view caption, std::string_view text,
                        bool offerDontShowAgain) override;
    std::string pickFolder(std::string_view instruction, std::string_view startFolder) override;
    std::optional<std::string> openFile(const FileDialogOptions& options) override;
    std::optional<std::string> saveFile(const FileDialogOptions& options) override;

    // Runs once, while the next review or choice is open: another program at work then.
    std::function<void()> duringDialog;

    std::deque<Answer> answers;
    std::deque<std::size_t> choices;
    std::vector<std::vector<std::string>> buttonsShown;
    std::deque<ReviewAnswer> reviewAnswers;
    std::vector<std::string> reviewsShown;
    std::deque<std::optional<std::string>> folders;
    std::deque<std::optional<std::string>> files;

    std::vector<Shown> shown;
    std::vector<std::string> folderInstructions;
    std::vector<FileDialogOptions> fileDialogs;

private:
    Answer nextAnswer(Answer fallback);
    void runDuringDialog();
};

} // namespace skarvel::test
