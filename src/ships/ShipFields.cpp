#include "ships/ShipFields.h"

#include "ports/Controls.h"

#include <algorithm>
#include <array>

namespace skarvel {

namespace {

using G = ShipGroup;

constexpr auto kShipFields = std::to_array<ShipField>({
    {G::Ship, "hit_pts", controls::edPanzerung, false, false},
    {G::Ship, "nanobot_limit", controls::edNanobot, false, false},
    {G::Ship, "shield_battery_limit", controls::edShield, false, false},
    {G::Ship, "mass", controls::edMasse, false, false},
    {G::Ship, "hold_size", controls::edHoldsize, false, false},
    {G::Ship, "ship_ident_name", controls::edShipName, false, false},
    {G::Ship, "nickname", controls::edShipNickName, false, false},
    {G::Ship, "ship_class", controls::edShipLevel, false, false},

    {G::Extended, "max_bank_angle", controls::edMAxBankAngel, false, false},
    {G::Extended, "linear_drag", controls::edLinearDrag, false, false},
    {G::Extended, "camera_offset", controls::edCameraOffset, false, false},
    {G::Extended, "camera_angular_acceleration", controls::edCameraAngularAccel, true, true},
    {G::Extended, "camera_horizontal_turn_angle", controls::edCameraHorTurnAngle, true, true},
    {G::Extended, "camera_vertical_turn_up_angle", controls::edVerUpTurnAngle, true, true},
    {G::Extended, "camera_vertical_turn_down_angle", controls::edVerDownTurnAngle, true, true},
    {G::Extended, "LODranges", controls::edLODRanges, false, false},

    {G::Handling, "steering_torque", controls::edSteeringTorque, false, false},
    {G::Handling, "rotation_inertia", controls::edRotationInertia, false, false},
    {G::Handling, "angular_drag", controls::edAngularDrag, false, false},

    {G::Hull, "price", controls::edShipPrice, false, false},

    {G::Tractor, "max_length", controls::edTractorRange, false, false},
    {G::Tractor, "reach_speed", controls::edTractorSpeed, false, false},

    {G::Power, "mass", controls::edPowerMasse, false, false},
    {G::Power, "capacity", controls::edPowerCapacity, false, false},
    {G::Power, "charge_rate", controls::edPowerRegen, false, false},
    {G::Power, "thrust_capacity", controls::edThrusterCapacity, false, false},
    {G::Power, "thrust_charge_rate", controls::edThrusterChargeRate, false, false},

    // Shown as the file writes them; a comma typed into them is saved as a point.
    {G::Engine, "max_force", controls::edEngineMaxForce, false, true},
    {G::Engine, "linear_drag", controls::edEngineLinearDrag, false, true},
    {G::Engine, "reverse_fraction", controls::edReverseFraction, true, true},
    {G::Engine, "cruise_power_usage", controls::edCruisePowerUsage, true, true},
    {G::Engine, "cruise_charge_time", controls::edCruiseChargeTime, true, true},
});

// The load reads the groups in this order, one section each.
static_assert(std::ranges::is_sorted(kShipFields, {}, &ShipField::group),
              "the rows of a group must be together and the groups in load order");

// The fields emptied before a ship is loaded: its names, every field of the table but
// edLODRanges (always overwritten by the load) and the two derived speeds.
constexpr auto kClearedFields = [] {
    std::array<std::string_view, kShipFields.size() + 3> fields{};
    std::size_t next = 0;
    fields[next++] = controls::edIdsName;
    fields[next++] = controls::edShipRealName;
    for (const ShipField& row : kShipFields) {
        if (row.field != controls::edLODRanges.name) {
            fields[next++] = row.field;
        }
    }
    fields[next++] = controls::edEngineSpeed;
    fields[next++] = controls::edReverseSpeed;
    return fields;
}();
static_assert(!kClearedFields.back().empty(), "the LOD ranges are one row of the table");

} // namespace

std::span<const ShipField> shipFields() {
    return kShipFields;
}

std::span<const ShipField> shipFieldsOf(ShipGroup group) {
    const auto first = std::find_if(kShipFields.begin(), kShipFields.end(),
                                    [group](const ShipField& f) { return f.group == group; });
    const auto last = std::find_if(first, kShipFields.end(),
                                   [group](const ShipField& f) { return f.group != group; });
    return {first, last};
}

std::span<const std::string_view> clearedShipFields() {
    return kClearedFields;
}

std::string textForFile(const ShipField& field, std::string_view fieldText) {
    std::string text(fieldText);
    if (field.fractionOnSave) {
        std::replace(text.begin(), text.end(), ',', '.');
    }
    return text;
}

} // namespace skarvel
