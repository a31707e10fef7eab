#pragma once

#include "gamedata/IniEngine.h"

#include <string>

namespace skarvel {

// The equipment a ship package good names on its lines ("addon = li_engine_01, internal, 1"):
// the first item of each value, matched by the words engine, power, scanner and tractor
// (exact letter case; a later line wins; one item may name several). Comment lines and
// trailing comments are not values, and the section ends at the next header.
struct PackageEquipment {
    std::string engine;
    std::string power;
    std::string scanner;
    std::string tractor;
};

PackageEquipment packageEquipment(const ini::ParsedIni& goods,
                                  const ini::ParsedIni::Section& package);

} // namespace skarvel
