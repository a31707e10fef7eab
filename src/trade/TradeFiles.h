#pragma once

#include "gamedata/IniEngine.h"

#include <memory>
#include <string>

namespace skarvel::trade {

// A settings file for reading: a text file through the parser's cache, a compressed one
// converted in memory. Throws std::runtime_error "<why>" when it is missing or unreadable.
std::shared_ptr<const ini::ParsedIni> readSettingsFile(const std::string& path);

// The first value of the key in the section's keys, letter case ignored; empty when missing.
std::string keyValue(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                     std::string_view key);

} // namespace skarvel::trade
