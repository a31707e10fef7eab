#pragma once

#include "tables/EquipmentTable.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace skarvel {

// A value of a row's sections, as a number: nothing when the key is missing or no number.
using EquipmentValue = std::function<std::optional<double>(EquipmentLink, std::string_view key)>;

// A value the game works out from an equipment's keys, as the tables show it.
struct DerivedValue {
    std::string_view name;    // "hull_dps": the column's key is "derived.hull_dps"
    std::string_view label;   // "Hull damage per second"
    std::string_view formula; // for the header's tool tip
    // Nothing when a value it needs is missing or not a number (never 0 for missing data).
    std::optional<double> (*work)(const EquipmentValue& value);
};

// The derived values of a kind (Gun, MissileLauncher, MineDropper, CounterMeasureDropper,
// ShieldGenerator, Thruster); none for the others.
std::span<const DerivedValue> derivedValuesOf(std::string_view kind);

// The text a table shows for a derived number: at most two decimals, a point.
std::string derivedText(double value);

} // namespace skarvel
