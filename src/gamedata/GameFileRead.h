#pragma once
// Stand-in for the shared reader until it lands; replaced at the merge.

#include "gamedata/GameFolder.h"
#include "gamedata/IniEngine.h"

#include <memory>
#include <string>

namespace skarvel {

struct GameFileRead {
    std::shared_ptr<const ini::ParsedIni> ini;
    std::string path;
    std::string shown;
    std::string refusal;
    bool ok() const { return ini != nullptr; }
};

GameFileRead readGameFile(const GameFolder& folder, std::string_view base, std::string_view named);

} // namespace skarvel
