#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skarvel::check {

// The program and its arguments that open file at line in the user's text editor: $VISUAL,
// else $EDITOR (split at blanks, so "emacsclient -n" works), with "+LINE" before the file for
// the editors known to take it. Empty when neither names one: the desktop's default then.
std::vector<std::string> textEditorCommand(std::string_view visual, std::string_view editor,
                                           const std::string& file, int line);

} // namespace skarvel::check
