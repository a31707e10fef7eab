#pragma once

#include "ships/ShipLoader.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace skarvel {

class DataSet;
namespace ini {
class ParsedIni;
}

// One row of the Fleet page: a ship of the ship list, where a ship load finds its sections,
// and the texts of every column (fleetColumns), as a ship load would show them.
struct FleetShip {
    std::string name;
    LoadedShip place; // the positions and nicknames; no field texts
    std::vector<std::string> cells;
    // By ShipGroup: the load found the group's section, so its values can change.
    std::array<bool, 8> groupFound{};
};

// Every ship of the open set, read with the field table and placeOf like a ship load.
class FleetTable {
public:
    FleetTable() = default;
    // names: the ship list's entries, one per ship section in file order.
    static FleetTable read(const DataSet& dataSet, const std::vector<std::string>& names);

    const std::vector<FleetShip>& rows() const { return rows_; }
    // The ship's special hp_type lines as this reading found them (specialLinesOf): what a
    // save compares the file with, to see another program's change to them.
    std::string specialLinesAsRead(const std::string& shipNickname) const;

private:
    std::vector<FleetShip> rows_;
    std::shared_ptr<const ini::ParsedIni> shipArch_; // as read
};

// The positions and nicknames of every ship's sections, as ShipLoader::load finds them.
std::vector<LoadedShip> locateShips(const DataSet& dataSet);

} // namespace skarvel
