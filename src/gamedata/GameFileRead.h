#pragma once

#include "gamedata/GameFolderPaths.h"
#include "gamedata/IniEngine.h"

#include <memory>
#include <string>
#include <string_view>

namespace skarvel {

// One data file read for looking, never for writing: the checker and the trade calculator
// read the game's files this one way.
struct GameFileRead {
    std::shared_ptr<const ini::ParsedIni> ini; // text; a compressed file converted in memory
    std::string path;                          // absolute
    std::string shown;                         // below the game folder, as spelled on disk
    // Empty when read; else "is missing", "names a file outside the game folder", "is not a
    // regular file", "is larger than the 64 MB cap", "cannot be read: <cause>" or "cannot be
    // parsed: <cause>".
    std::string refusal;

    bool ok() const { return ini != nullptr; }
};

// Resolves the path inside the game folder, checks the kind and the size before reading a
// byte (a FIFO is opened without waiting and refused), reads and parses.
GameFileRead readGameFile(const GameFolderPaths& folder, std::string_view base,
                          std::string_view named);

} // namespace skarvel
