#pragma once

#include "check/Problem.h"
#include "check/Rules.h"

#include <string>
#include <vector>

namespace skarvel::check {

// Reads the game in gameFolder (read only) and runs the rules given, or every rule when
// none is given. Problems come sorted by file and line. Throws ReadFault when the folder
// cannot be read as a game.
Problems checkGame(const std::string& gameFolder, const std::vector<const Rule*>& selected = {});
// The same; filesLooked gets the paths of every file the check read or looked for, so that a
// change to one of them can be noticed.
Problems checkGame(const std::string& gameFolder, const std::vector<const Rule*>& selected,
                   std::vector<std::string>& filesLooked);

} // namespace skarvel::check
