#pragma once

#include <string>
#include <string_view>

namespace skarvel {

// The program's own texts and the names it shows are UTF-8; the journal and the game's files
// use one byte per character (Windows-1252). A character the code page lacks becomes "?";
// bytes that are not part of a valid UTF-8 sequence pass through unchanged.
std::string toCp1252(std::string_view utf8);

// The UTF-8 of Windows-1252 bytes; the five bytes the code page leaves free stand for the
// control characters of their number, as Windows reads them, so toCp1252 gives them back.
std::string fromCp1252(std::string_view bytes);

} // namespace skarvel
