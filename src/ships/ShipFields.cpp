#include "ships/ShipFields.h"

#include "ports/Controls.h"

#include <algorithm>
#include <array>

namespace skarvel {

namespace {

using G = ShipGroup;

// Single numbers (N) take the decimal separator the file writes for the key; the lists and
// names (T) are written as typed.
constexpr bool N = true;
constexpr bool T = false;

constexpr auto kShipFields = std::to_array<ShipField>({
    {G::Ship, "hit_pts", controls::edPanzerung, N},
    {G::Ship, "nanobot_limit", controls::edNanobot, N},
    {G::Ship, "shield_battery_limit", controls::edShield, N},
    {G::Ship, "mass", controls::edMasse, N},
    {G::Ship, "hold_size", controls::edHoldsize, N},
    {G::Ship, "ship_ident_name", controls::edShipName, T},
    {G::Ship, "nickname", controls::edShipNickName, T},
    {G::Ship, "ship_class", controls::edShipLevel, T},

    {G::Extended, "max_bank_angle", controls::edMAxBankAngel, N},
    {G::Extended, "linear_drag", controls::edLinearDrag, N},
    {G::Extended, "camera_offset", controls::edCameraOffset, T},
    {G::Extended, "camera_angular_acceleration", controls::edCameraAngularAccel, N},
    {G::Extended, "camera_horizontal_turn_angle", controls::edCameraHorTurnAngle, N},
    {G::Extended, "camera_vertical_turn_up_angle", controls::edVerUpTurnAngle, N},
    {G::Extended, "camera_vertical_turn_down_angle", controls::edVerDownTurnAngle, N},
    {G::Extended, "LODranges", controls::edLODRanges, T},

    {G::Handling, "steering_torque", controls::edSteeringTorque, T},
    {G::Handling, "rotation_inertia", controls::edRotationInertia, T},
    {G::Handling, "angular_drag", controls::edAngularDrag, T},

    {G::Hull, "price", controls::edShipPrice, N},

    {G::Tractor, "max_length", controls::edTractorRange, N},
    {G::Tractor, "reach_speed", controls::edTractorSpeed, N},

    {G::Power, "mass", controls::edPowerMasse, N},
    {G::Power, "capacity", controls::edPowerCapacity, N},
    {G::Power, "charge_rate", controls::edPowerRegen, N},
    {G::Power, "thrust_capacity", controls::edThrusterCapacity, N},
    {G::Power, "thrust_charge_rate", controls::edThrusterChargeRate, N},

    {G::Engine, "max_force", controls::edEngineMaxForce, N},
    {G::Engine, "linear_drag", controls::edEngineLinearDrag, N},
    {G::Engine, "reverse_fraction", controls::edReverseFraction, N},
    {G::Engine, "cruise_power_usage", controls::edCruisePowerUsage, N},
    {G::Engine, "cruise_charge_time", controls::edCruiseChargeTime, N},
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

std::string textForFile(const ShipField& field, std::string_view fieldText,
                        std::string_view loadedText) {
    return field.singleNumber ? inNotationOf(fieldText, loadedText) : std::string(fieldText);
}

std::string inNotationOf(std::string_view number, std::string_view fileValue) {
    // A comma in a single number is the file's decimal separator only when it has no point;
    // otherwise the point is, as in most files (a comma there would split the value in two).
    const bool comma = fileValue.find(',') != std::string_view::npos &&
                       fileValue.find('.') == std::string_view::npos;
    std::string text(number);
    std::replace(text.begin(), text.end(), comma ? '.' : ',', comma ? ',' : '.');
    return text;
}

} // namespace skarvel
