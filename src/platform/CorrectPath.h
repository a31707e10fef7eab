#pragma once

#include <string>
#include <string_view>

namespace skarvel {

class TJournal;

// The path with one trailing "/" (unchanged when it already ends with one; "" gives "/").
// Journals "makeCorrectPath - %s => %S".
std::string makeCorrectPath(std::string_view path, TJournal& journal);

} // namespace skarvel
