#pragma once

#include <string>

namespace skarvel {

// Opens the file at the line in the user's text editor ($VISUAL, else $EDITOR), else with the
// desktop's default program for it.
void openInTextEditor(const std::string& path, int line);

} // namespace skarvel
