#pragma once

#include "platform/AsciiText.h"

#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// The trimmed part of text between the first start delimiter and the next stop delimiter;
// a start delimiter "*" means from the start of the text. Trimming removes characters with
// codes 0 to 32 at both ends.
std::string getDelimitedPart(std::string_view text, char start, char stop);
// As getDelimitedPart; in addition every occurrence of a non-empty result is removed from
// text (which is not trimmed).
std::string cutDelimitedPart(std::string& text, char start, char stop);
// The lines after the first header line that contains header (exact case), up to the next
// line that opens a section (the one header rule) or the end of the file.
std::vector<std::string> ReadSectionLines(const std::string& path, std::string_view header);

std::string trimControl(std::string_view text); // codes 0..32 removed at both ends
void removeAll(std::string& text, std::string_view what);

} // namespace skarvel
