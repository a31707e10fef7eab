#pragma once

#include "gamedata/DataSet.h"
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
namespace check {
struct ModFiles;
}

// What the Fleet table reads: the ship, goods, power plant and engine files and their section
// lists, of the open set or of a game's files as they are (the headless export).
struct FleetFiles {
    // By SettingsFile: the parse of each file the table reads (null when it cannot be read).
    std::array<std::shared_ptr<const ini::ParsedIni>, kSettingsFileCount> parses;
    SectionLists sections;

    std::shared_ptr<const ini::ParsedIni> parse(SettingsFile file) const {
        const auto at = static_cast<std::size_t>(file);
        return at < parses.size() ? parses[at] : nullptr;
    }
    // The open set's files as they are now.
    static FleetFiles of(const DataSet& dataSet);
    // The mod's files as the mod check reads them (compressed ones converted in memory).
    static FleetFiles of(const check::ModFiles& mod);
};

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
    static FleetTable read(const FleetFiles& files, const std::vector<std::string>& names);

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
std::vector<LoadedShip> locateShips(const FleetFiles& files);

} // namespace skarvel
