#pragma once

#include <string>
#include <string_view>

namespace skarvel {

class TJournal;

// makeCorrectPath, journaled as "makeCorrectPath - %s => %S": the journal shows every folder
// the program settles on.
std::string makeCorrectPath(std::string_view path, TJournal& journal);

} // namespace skarvel
