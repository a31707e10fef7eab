#pragma once

#include "gamedata/DataSet.h"
#include "gamedata/PendingChanges.h"

#include <string>

namespace skarvel {

enum class ShipGroup;
struct LoadedShip;

// Where one group of a ship's values lives: its settings file and its section.
struct GroupPlace {
    SettingsFile file;
    std::string section; // empty when the load found no section for the group
};

// Entry index of a section list, or none when a search found no entry (index out of range).
std::string sectionAt(const std::vector<std::string>& list, int index);

// The place of the group for the ship as the load found it: the section the load reads, by
// the positions it found.
GroupPlace placeOf(ShipGroup group, const LoadedShip& ship, const SectionLists& sections);

// The same section as the save finds it again: by the nickname the load read from it, so that
// a section another program added or removed since cannot take its place.
SectionRef sectionRefOf(ShipGroup group, const LoadedShip& ship);

} // namespace skarvel
