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

} // namespace skarvel::check
