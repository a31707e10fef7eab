#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;
class Form;
class DataSet;
class Hardpoints;
class TUserIniFile;
enum class ShipGroup;

// What the last ship load read: the positions of its sections (where the load found them) and
// their nicknames (by which the save finds them again), and the texts the fields showed.
struct LoadedShip {
    int shipIndex = 0;         // FShipIndex: section "Ship" + shipIndex
    int hullGoodIndex = -1;    // FHullGoodIndex: number of goods when no good matched
    int packageGoodIndex = -1; // FPackageGoodIndex
    int powerIndex = -1;       // FPowerIndex: -1 when not found
    int engineIndex = -1;      // FEngineIndex: -1 when not found
    std::string shipNickname;
    std::string hullNickname;
    std::string packageNickname;
    std::string engineName;
    std::string powerName;
    std::string scannerName;
    std::string tractorName;
    // Every field of the field table with the text the load put into it.
    std::map<std::string, std::string, std::less<>> loadedTexts;
    // The display names of the other ships whose packages name the same engine / power plant.
    std::vector<std::string> engineSharedWith;
    std::vector<std::string> powerSharedWith;
    // The fields show this ship's values, so a save may write them to its sections.
    bool loaded = false;
    // The hardpoint levels were read completely for this ship.
    bool hardpointsLoaded = false;
    // Its special hp_type lines as read (specialLinesOf): another program's change to them
    // before a save is a conflict.
    std::string specialLines;
};

// The loading half of a ship click: clears the fields, finds the ship's goods, power
// plant and engine, fills the fields and the labels and derives the two speeds.
class ShipLoader {
public:
    ShipLoader(TJournal& journal, Form& form, const DataSet& dataSet, Hardpoints& hardpoints);

    void CLEAR_ALL_VALUES();

    // The load of the ship selected in lbShips into ship (steps after the clear). A speed
    // that cannot be worked out is journaled and left empty; an error of the hardpoint load
    // ends it by an exception, and what was filled and found so far stays.
    void load(LoadedShip& ship);

    // First good whose "Ship" key equals the nickname (exact case); the number of goods when
    // none does.
    int FindHullGood(std::string_view shipNickname) const;
    // First good whose "Hull" key equals the hull nickname; the number of goods when none.
    int FindPackageGood(std::string_view hullNickname) const;

private:
    int findGood(std::string_view key, std::string_view value) const;
    // Fills the group's fields from its place (ShipPlaces.h).
    void readGroup(ShipGroup group, const LoadedShip& ship);
    void findEquipmentNames(LoadedShip& ship);
    void deriveEngineSpeeds(const LoadedShip& ship);
    // The engine and power captions say how many ships share the equipment, and which.
    void showSharing(LoadedShip& ship);

    TJournal& journal_;
    Form& form_;
    const DataSet& dataSet_;
    Hardpoints& hardpoints_;
};

} // namespace skarvel
