#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// The five sorts of message box. Confirmation and Warning ask Yes/No; the others have OK.
enum class MessageKind { Confirmation, Warning, Error, Information, Plain };

enum class Answer { Yes, No, Cancel, Ok };

// The answer to the look at the changes before a save.
struct ReviewAnswer {
    bool save = false;
    bool dontShowAgain = false; // the box "Don't show again" was ticked
};

struct FileDialogOptions {
    std::string title;
    std::string fileName;
    std::string filter;        // "name|pattern", as the Windows dialogs take it
    std::string initialFolder; // native path
};

// Modal dialogs. Texts are shown as given; a line feed followed by a carriage return is
// one line break. Tests script the answers and record the texts.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Yes/No for Confirmation and Warning, OK for the others.
    virtual Answer message(MessageKind kind, std::string_view text) = 0;
    // An information box with Yes and No (the update check's download question).
    virtual Answer askInformation(std::string_view text) = 0;
    // A confirmation with Yes, No and Cancel.
    virtual Answer askYesNoCancel(std::string_view text) = 0;
    // A question with buttons of its own ("Write mine", ...): the index of the button
    // pressed; the last one (the way back) when the box is closed otherwise.
    virtual std::size_t choose(MessageKind kind, std::string_view text,
                               const std::vector<std::string>& buttons) = 0;
    // Shows the changes a save will make (a unified difference) with Save and Cancel, and
    // the box "Don't show again" when offered.
    virtual ReviewAnswer review(std::string_view caption, std::string_view text,
                                bool offerDontShowAgain) = 0;
    // A warning with only an OK button (the update check's connection warnings). Falls back
    // to the Yes/No warning for implementations that do not offer one.
    virtual Answer warningOk(std::string_view text) { return message(MessageKind::Warning, text); }

    // Returns the chosen folder, or startFolder when cancelled.
    virtual std::string pickFolder(std::string_view instruction, std::string_view startFolder) = 0;
    virtual std::optional<std::string> openFile(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> saveFile(const FileDialogOptions& options) = 0;
};

// Thrown by a Dialogs port instead of an answer once the program is being ended from outside:
// the command that asked ends there and writes nothing more. Not a std::exception, so that
// no command reports it as its failure.
struct CommandEnded {};

inline bool isYes(Answer answer) {
    return answer == Answer::Yes;
}

} // namespace skarvel
