#include "ships/ShipFields.h"

#include <algorithm>
#include <array>

namespace skarvel {

namespace {

using G = ShipGroup;

constexpr std::array<ShipField, 32> kShipFields = {{
    {G::Ship, "hit_pts", "edPanzerung", false, false},
    {G::Ship, "nanobot_limit", "edNanobot", false, false},
    {G::Ship, "shield_battery_limit", "edShield", false, false},
    {G::Ship, "mass", "edMasse", false, false},
    {G::Ship, "hold_size", "edHoldsize", false, false},
    {G::Ship, "ship_ident_name", "edShipName", false, false},
    {G::Ship, "nickname", "edShipNickName", false, false},
    {G::Ship, "ship_class", "edShipLevel", false, false},

    {G::Extended, "max_bank_angle", "edMAxBankAngel", false, false},
    {G::Extended, "linear_drag", "edLinearDrag", false, false},
    {G::Extended, "camera_offset", "edCameraOffset", false, false},
    {G::Extended, "camera_angular_acceleration", "edCameraAngularAccel", true, true},
    {G::Extended, "camera_horizontal_turn_angle", "edCameraHorTurnAngle", true, true},
    {G::Extended, "camera_vertical_turn_up_angle", "edVerUpTurnAngle", true, true},
    {G::Extended, "camera_vertical_turn_down_angle", "edVerDownTurnAngle", true, true},
    {G::Extended, "LODranges", "edLODRanges", false, false},

    {G::Handling, "steering_torque", "edSteeringTorque", false, false},
    {G::Handling, "rotation_inertia", "edRotationInertia", false, false},
    {G::Handling, "angular_drag", "edAngularDrag", false, false},

    {G::Hull, "price", "edShipPrice", false, false},

    {G::Tractor, "max_length", "edTractorRange", false, false},
    {G::Tractor, "reach_speed", "edTractorSpeed", false, false},

    {G::Power, "mass", "edPowerMasse", false, false},
    {G::Power, "capacity", "edPowerCapacity", false, false},
    {G::Power, "charge_rate", "edPowerRegen", false, false},
    {G::Power, "thrust_capacity", "edThrusterCapacity", false, false},
    {G::Power, "thrust_charge_rate", "edThrusterChargeRate", false, false},

    // Shown as the file writes them; a comma typed into them is saved as a point.
    {G::Engine, "max_force", "edEngineMaxForce", false, true},
    {G::Engine, "linear_drag", "edEngineLinearDrag", false, true},
    {G::Engine, "reverse_fraction", "edReverseFraction", true, true},
    {G::Engine, "cruise_power_usage", "edCruisePowerUsage", true, true},
    {G::Engine, "cruise_charge_time", "edCruiseChargeTime", true, true},
}};

constexpr std::array<std::string_view, 35> kClearedFields = {"edIdsName",
                                                             "edShipRealName",
                                                             "edPanzerung",
                                                             "edNanobot",
                                                             "edShield",
                                                             "edMasse",
                                                             "edHoldsize",
                                                             "edMAxBankAngel",
                                                             "edLinearDrag",
                                                             "edShipName",
                                                             "edShipNickName",
                                                             "edShipLevel",
                                                             "edSteeringTorque",
                                                             "edRotationInertia",
                                                             "edAngularDrag",
                                                             "edShipPrice",
                                                             "edTractorRange",
                                                             "edTractorSpeed",
                                                             "edPowerMasse",
                                                             "edPowerCapacity",
                                                             "edPowerRegen",
                                                             "edThrusterCapacity",
                                                             "edThrusterChargeRate",
                                                             "edEngineMaxForce",
                                                             "edEngineLinearDrag",
                                                             "edReverseFraction",
                                                             "edCruisePowerUsage",
                                                             "edCruiseChargeTime",
                                                             "edEngineSpeed",
                                                             "edReverseSpeed",
                                                             "edCameraOffset",
                                                             "edCameraAngularAccel",
                                                             "edCameraHorTurnAngle",
                                                             "edVerUpTurnAngle",
                                                             "edVerDownTurnAngle"};

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
