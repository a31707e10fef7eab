#pragma once

#include "gamedata/GameFolderPaths.h"
#include "trade/TradeData.h"
#include "trade/TradeFiles.h"

#include <memory>
#include <string>
#include <string_view>

namespace skarvel::trade {

// The reading of one game folder: each file read is noted as a source, each refusal as a
// problem naming what it leaves out.
struct TradeReading {
    TradeData& data;
    const GameFolderPaths& folder; // one per reading: it may run off the window's thread
    std::string dataFolder;        // the data folder's name as spelled on disk ("DATA")

    // named relative to base below the root (a data file's path: relative to the data folder
    // when base is dataFolder).
    std::shared_ptr<const ini::ParsedIni> read(std::string_view base, std::string_view named,
                                               std::string_view lost) const;
};

bool named(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
           std::string_view name);

// Every value of the keys of that name in the section, in order.
std::vector<std::string> keyValues(const ini::ParsedIni& ini,
                                   const ini::ParsedIni::Section& section, std::string_view key);

// The comma-separated fields of a value, blanks trimmed.
std::vector<std::string> fields(std::string_view value);

// The name the game's DLLs give the id, else the fallback (a nickname).
std::string gameName(const NameLookup& names, const std::string& id, const std::string& fallback);

void readUniverse(const TradeReading& reading, const NameLookup& names);

} // namespace skarvel::trade
