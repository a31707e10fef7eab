#pragma once

#include <string>
#include <string_view>

namespace skarvel {

// The program's own texts are written in UTF-8 in the source; the journal and the game's
// files use one byte per character (Windows-1252). Characters U+0080..U+00FF become their
// single byte; bytes that are not part of a valid UTF-8 sequence pass through unchanged.
std::string toCp1252(std::string_view utf8);

} // namespace skarvel
