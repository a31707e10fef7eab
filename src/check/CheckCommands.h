#pragma once

#include "check/Problem.h"
#include "platform/FileStamp.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace skarvel {

class Dialogs;
class Editor;
class Form;

namespace check {

// The CHECK page's commands: it checks the game the Options page names (read only) on the
// user's word and after each open and save, and opens the ship a problem stands in.
class CheckCommands {
public:
    // shown: called with the problems after every check, for the page and the menu's count.
    CheckCommands(Editor& editor, Form& form, Dialogs& dialogs,
                  std::function<void(const Problems&)> shown);

    // "Check now", and after each open.
    void btCheckNowClick();
    // After a save: checks again and tells of the errors the save added; the save stands.
    void checkAfterSave();
    // A double click on problem index of problems(): a problem of a ship opens that ship on
    // the Ship page.
    void tvProblemsDoubleClick(std::size_t index);

    // Checks again when a file the last check read or looked for changed since (a save of any
    // page, a restore, another program); true when it did.
    bool checkIfChanged();

    const Problems& problems() const { return problems_; }
    // The file a problem of problems() stands in, on disk; empty for none.
    std::string pathOf(std::size_t index) const;

private:
    void check();
    std::vector<std::optional<FileStamp>> stampsOf() const;

    Editor& editor_;
    Form& form_;
    Dialogs& dialogs_;
    std::function<void(const Problems&)> shown_;
    Problems problems_;
    std::vector<std::string> filesLooked_;
    std::vector<std::optional<FileStamp>> stamps_;
};

// The errors of after that before lacks, compared by rule, file, nickname and message (a save
// moves lines).
Problems addedErrors(const Problems& before, const Problems& after);

} // namespace check
} // namespace skarvel
