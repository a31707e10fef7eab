#pragma once

#include "ships/ShipFields.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace skarvel {

// What a column of the Fleet page shows.
enum class FleetSource {
    Name,        // the ship list's entry
    ShipKey,     // a key of the ship's section that no field shows (type, ids_name)
    Field,       // a row of the field table, at the place a ship load reads it
    EngineName,  // the engine's nickname from the package good
    PowerName,   // the power plant's nickname
    EngineSpeed, // derived as a ship load derives it
    ReverseSpeed,
    MountCount, // the number of special hardpoints of a kind
    MountLevel  // their highest level
};

enum class MountSort { Gun, Turret, Shield };

struct FleetColumn {
    FleetSource source;
    std::string key;   // the header's and the CSV's key: the file's key, engine./power. before
                       // an equipment key
    std::string label; // "Cargo hold"
    const ShipField* field = nullptr; // FleetSource::Field
    MountSort mount = MountSort::Gun; // MountCount, MountLevel
    bool editable = false;
    bool numeric = false; // sorts as a number; a change must read as one
    bool whole = false;   // a count the game reads as a whole number: changes round to one
};

// Every column of the page, in order: name, nickname, type and class, the field table's
// values (the engine's and power plant's after their nickname), the derived speeds and the
// special hardpoints.
std::span<const FleetColumn> fleetColumns();

// "Cargo hold (hold_size)".
std::string fleetHeader(const FleetColumn& column);

// The column of a CSV key, or fleetColumns().size().
std::size_t fleetColumnOfKey(std::string_view key);

} // namespace skarvel
