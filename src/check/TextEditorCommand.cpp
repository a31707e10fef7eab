#include "check/TextEditorCommand.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <array>

namespace skarvel::check {

namespace {

// Editors that open a file at a line given as "+LINE" before it.
constexpr auto kPlusLineEditors =
    std::to_array<std::string_view>({"vi",          "vim",
                                     "nvim",        "gvim",
                                     "view",        "nano",
                                     "pico",        "emacs",
                                     "emacsclient", "gedit",
                                     "kate",        "kwrite",
                                     "micro",       "joe",
                                     "jed",         "mg",
                                     "ne",          "kak",
                                     "mousepad",    "pluma",
                                     "xed",         "gnome-text-editor"});

std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> found;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t begin = text.find_first_not_of(" \t", at);
        if (begin == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(text.find_first_of(" \t", begin), text.size());
        found.emplace_back(text.substr(begin, end - begin));
        at = end;
    }
    return found;
}

} // namespace

std::vector<std::string> textEditorCommand(std::string_view visual, std::string_view editor,
                                           const std::string& file, int line) {
    std::vector<std::string> command = words(visual);
    if (command.empty()) {
        command = words(editor);
    }
    if (command.empty()) {
        return {};
    }
    const std::string& program = command.front();
    const std::string name = program.substr(program.rfind('/') + 1);
    const bool takesLine = std::ranges::any_of(
        kPlusLineEditors, [&](std::string_view known) { return equalsIgnoringCase(name, known); });
    if (takesLine && line > 0) {
        command.push_back("+" + std::to_string(line));
    }
    command.push_back(file);
    return command;
}

} // namespace skarvel::check
