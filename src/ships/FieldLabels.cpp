#include "ships/FieldLabels.h"

#include "ports/Controls.h"
#include "ships/ShipFields.h"

#include <algorithm>
#include <array>

namespace skarvel {

namespace {

struct FieldLabel {
    std::string_view control;
    std::string_view label;
};

// The field table's values are named as the Fleet page's columns have always named them; the
// other edited controls as the window's caption beside them reads.
constexpr auto kFieldLabels = std::to_array<FieldLabel>({
    {controls::edPanzerung, "Hit points"},
    {controls::edNanobot, "Nanobot limit"},
    {controls::edShield, "Shield battery limit"},
    {controls::edMasse, "Mass"},
    {controls::edHoldsize, "Cargo hold"},
    {controls::edShipName, "Ship ident name"},
    {controls::edShipNickName, "Nickname"},
    {controls::edShipLevel, "Class"},
    {controls::edMAxBankAngel, "Max bank angle"},
    {controls::edLinearDrag, "Linear drag"},
    {controls::edCameraOffset, "Camera offset"},
    {controls::edCameraAngularAccel, "Camera angular acceleration"},
    {controls::edCameraHorTurnAngle, "Camera horizontal turn angle"},
    {controls::edVerUpTurnAngle, "Camera turn up angle"},
    {controls::edVerDownTurnAngle, "Camera turn down angle"},
    {controls::edLODRanges, "LOD ranges"},
    {controls::edSteeringTorque, "Steering torque"},
    {controls::edRotationInertia, "Rotation inertia"},
    {controls::edAngularDrag, "Angular drag"},
    {controls::edShipPrice, "Hull price"},
    {controls::edTractorRange, "Tractor range"},
    {controls::edTractorSpeed, "Tractor speed"},
    {controls::edPowerMasse, "Power plant mass"},
    {controls::edPowerCapacity, "Power output"},
    {controls::edPowerRegen, "Power regeneration"},
    {controls::edThrusterCapacity, "Thruster capacity"},
    {controls::edThrusterChargeRate, "Thruster recharge"},
    {controls::edEngineMaxForce, "Max force"},
    {controls::edEngineLinearDrag, "Engine linear drag"},
    {controls::edReverseFraction, "Reverse fraction"},
    {controls::edCruisePowerUsage, "Cruise power usage"},
    {controls::edCruiseChargeTime, "Cruise charge time"},

    {controls::edMaxSpeed, "Maximum Speed"},
    {controls::edTradeLaneSpeed, "Trade Lane Speed"},
    {controls::edCruiseSpeed, "Cruise Speed"},
    {controls::edCruiseDisruptTime, "Cruise disruption time"},
    {controls::edMaxLootPerAstroid, "Max Loot per astroid"},
    {controls::edHullUnitsPerItem, "Hull Units per Item"},
    {controls::edShieldUnitsPerItem, "Shield Units per Item"},
    {controls::edStartingMoney, "Starting money"},
    {controls::cbStartingBase, "Starting Base"},
    {controls::edIdsName, "IDS_Name"},
    {controls::edShipRealName, "Ship Name"},
    {controls::edEngineSpeed, "Max Speed"},
    {controls::edReverseSpeed, "Reverse Speed"},
    {controls::cbWeaponHP, "Weapon Hardpoint #"},
    {controls::edWeaponHPLevel, "max Weapon Level"},
    {controls::cbTurretHP, "Turret Hardpoint #"},
    {controls::edTurretHpLevel, "max Weapon Level"},
    {controls::cbShieldTyp, "Shield Typ"},
    {controls::edShieldHPLevel, "MAX SHIELDGENERATOR LEVEL"},
});

} // namespace

std::string fieldLabel(std::string_view control) {
    const auto labelled = std::ranges::find(kFieldLabels, control, &FieldLabel::control);
    if (labelled != kFieldLabels.end()) {
        return std::string(labelled->label);
    }
    const auto fields = shipFields();
    const auto field = std::ranges::find(fields, control, &ShipField::field);
    return field == fields.end() ? std::string() : std::string(field->key);
}

} // namespace skarvel
