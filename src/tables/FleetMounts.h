#pragma once

#include "tables/FleetColumns.h"

#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// A new highest level for one sort of a ship's special hardpoints.
struct MountChange {
    std::string shipNickname;
    MountSort sort = MountSort::Gun;
    int level = 0;

    bool operator==(const MountChange&) const = default;
};

// The bytes of shiparch.ini with the ships' special hp_type lines edited as the Ship page's
// save edits them (ShipSpecialLines): every hardpoint of the sort at the highest level, or
// above the new one, gets the new level; the others keep theirs. A ship whose nickname is not
// on exactly one section is left alone.
std::string withMountLevels(std::string_view bytes, const std::vector<MountChange>& changes);

} // namespace skarvel
