#pragma once

#include "gamedata/IniEngine.h"

#include <string>
#include <string_view>

namespace skarvel::trade {

// The first value of the key in the section's keys, letter case ignored; empty when missing.
std::string keyValue(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                     std::string_view key);

} // namespace skarvel::trade
