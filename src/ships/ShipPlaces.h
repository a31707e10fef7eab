#pragma once

#include "gamedata/DataSet.h"

#include <string>

namespace skarvel {

enum class ShipGroup;
struct LoadedShip;

// Where one group of a ship's values lives: its settings file and its section.
struct GroupPlace {
    SettingsFile file;
    std::string section; // empty when the load found no section for the group
};

// The place of the group for the ship as the load found it. The load reads and the save
// writes each group here, so both reach the same section.
GroupPlace placeOf(ShipGroup group, const LoadedShip& ship, const SectionLists& sections);

} // namespace skarvel
