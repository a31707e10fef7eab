#pragma once

#include <span>
#include <string>
#include <string_view>

namespace skarvel {

// The groups of ship values, each read from and written to one section (placeOf in
// ShipPlaces.h), in the order of the load.
enum class ShipGroup {
    Ship = 1,     // shiparch.ini, "Ship" + FShipIndex
    Extended = 2, // same section
    Handling = 3, // same section
    Hull = 4,     // goods.ini, "Good" + FHullGoodIndex
    Tractor = 5,  // misc_equip.ini, the first "Tractor" section
    Power = 6,    // misc_equip.ini, "Power" + FPowerIndex
    Engine = 7    // engine_equip.ini, "Engine" + FEngineIndex
};

// One key of a game file and the edit field that shows it. The load and the save both
// follow this table, so a key is read from and written to the same place.
struct ShipField {
    ShipGroup group;
    std::string_view key;
    std::string_view field;
    // A single number, which may hold a fraction: it is written with the decimal separator
    // the file used for the key, whichever the user typed.
    bool singleNumber;
};

// Every field-bound key, group by group, in the order of the load and the save.
std::span<const ShipField> shipFields();

// The part of the table that belongs to one group, in table order.
std::span<const ShipField> shipFieldsOf(ShipGroup group);

// The fields emptied before a ship is loaded (CLEAR_ALL_VALUES). edLODRanges is always
// overwritten by the load and so is left alone, like the hardpoint level fields.
std::span<const std::string_view> clearedShipFields();

// The text written for a field whose key held loadedText at the load: a single number in the
// file's notation, anything else as typed.
std::string textForFile(const ShipField& field, std::string_view fieldText,
                        std::string_view loadedText);

// The number with the decimal separator fileValue uses: a comma when fileValue has a comma
// and no point, a point otherwise.
std::string inNotationOf(std::string_view number, std::string_view fileValue);

} // namespace skarvel
