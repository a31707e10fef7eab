#include "check/CheckCommands.h"

#include "check/Checker.h"
#include "check/ModFiles.h"
#include "platform/AsciiText.h"
#include "platform/CaseInsensitivePath.h"
#include "ports/Controls.h"
#include "ports/Dialogs.h"
#include "ports/Form.h"
#include "ships/Editor.h"
#include "ships/ShipFilter.h"

#include <algorithm>
#include <tuple>

namespace skarvel::check {

namespace {

constexpr std::size_t kListedErrors = 10;

auto identity(const Problem& problem) {
    return std::tie(problem.rule, problem.file, problem.nickname, problem.message);
}

} // namespace

Problems addedErrors(const Problems& before, const Problems& after) {
    Problems added;
    for (const Problem& problem : after) {
        const bool known = std::ranges::any_of(before, [&](const Problem& old) {
            return old.severity == Severity::Error && identity(old) == identity(problem);
        });
        if (problem.severity == Severity::Error && !known) {
            added.push_back(problem);
        }
    }
    return added;
}

CheckCommands::CheckCommands(Editor& editor, Form& form, Dialogs& dialogs,
                             std::function<void(const Problems&)> shown)
    : editor_(editor), form_(form), dialogs_(dialogs), shown_(std::move(shown)) {}

void CheckCommands::check() {
    try {
        problems_ = checkGame(form_.text(controls::edPfad), {}, filesLooked_);
    } catch (const ReadFault& fault) {
        problems_ = {{Severity::Error, "file", form_.text(controls::edPfad), 0, {}, fault.what()}};
        filesLooked_.clear();
    }
    stamps_ = stampsOf();
    form_.setText(controls::labCheckSummary,
                  problems_.empty() ? std::string("No problems") : countLine(problems_));
    shown_(problems_);
}

std::vector<std::optional<FileStamp>> CheckCommands::stampsOf() const {
    std::vector<std::optional<FileStamp>> stamps;
    stamps.reserve(filesLooked_.size());
    for (const std::string& path : filesLooked_) {
        stamps.push_back(FileStamp::of(path));
    }
    return stamps;
}

bool CheckCommands::checkIfChanged() {
    if (filesLooked_.empty() || stampsOf() == stamps_) {
        return false;
    }
    check();
    return true;
}

void CheckCommands::btCheckNowClick() {
    check();
}

void CheckCommands::checkAfterSave() {
    const Problems before = problems_;
    check();
    const Problems added = addedErrors(before, problems_);
    if (added.empty()) {
        return;
    }
    std::string text = "The save is done, and the check finds " + std::to_string(added.size()) +
                       (added.size() == 1 ? " new error:" : " new errors:");
    for (std::size_t i = 0; i < std::min(added.size(), kListedErrors); ++i) {
        text += "\n" + problemLine(added[i]);
    }
    if (added.size() > kListedErrors) {
        text += "\n... (the CHECK page lists them all)";
    }
    dialogs_.message(MessageKind::Information, text);
}

std::string CheckCommands::pathOf(std::size_t index) const {
    if (index >= problems_.size()) {
        return {};
    }
    std::string folder = resolveCaseInsensitive(form_.text(controls::edPfad));
    if (!folder.ends_with('/')) {
        folder += '/';
    }
    return resolveCaseInsensitive(folder + problems_[index].file);
}

void CheckCommands::tvProblemsDoubleClick(std::size_t index) {
    if (index >= problems_.size() || problems_[index].nickname.empty()) {
        return;
    }
    editor_.showShipNamed(problems_[index].nickname);
}

} // namespace skarvel::check
