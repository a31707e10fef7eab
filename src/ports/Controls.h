#pragma once

#include <algorithm>
#include <array>
#include <string_view>

namespace skarvel {

// The kind of widget a control is. A window test checks every control below against the
// real window, by name and kind.
enum class ControlKind {
    LineEdit,
    ComboBox,
    ListBox,
    Tree,
    PushButton,
    ToolButton,
    CheckBox,
    Label,
    Panel,
    Table,
    ItemView, // a Qt item view over a page's model
    TextArea, // multi-line, read only
    Dialog,
    MenuBar
};

// A control of the main window as the core reaches it through Form. It converts to its
// name, so it is passed wherever a control name is asked for.
struct Control {
    std::string_view name;
    ControlKind kind;

    constexpr operator std::string_view() const noexcept { return name; }
};

// The names are fixed by the window's design, odd spellings included; do not correct them.
namespace controls {

using enum ControlKind;

// The page menu, the read-first button, the ship list and the tool bar.
inline constexpr Control tvMenu{"tvMenu", Tree};
inline constexpr Control btRead{"btRead", PushButton};
inline constexpr Control lbShips{"lbShips", ListBox};
inline constexpr Control btRelload{"btRelload", ToolButton};
inline constexpr Control btSave{"btSave", ToolButton};
inline constexpr Control btCloseSet{"btCloseSet", ToolButton};

// The bar above the pages that tells of files another program changed.
inline constexpr Control panOutsideChange{"panOutsideChange", Panel};
inline constexpr Control labOutsideChange{"labOutsideChange", Label};
inline constexpr Control btOutsideReload{"btOutsideReload", PushButton};
inline constexpr Control btOutsideKeep{"btOutsideKeep", PushButton};

// Options: the two folders and the two switches.
inline constexpr Control edPfad{"edPfad", LineEdit};
inline constexpr Control edFliniDir{"edFliniDir", LineEdit};
inline constexpr Control cbShowSecurityWarnings{"cbShowSecurityWarnings", CheckBox};
inline constexpr Control cbCheckNewVersion{"cbCheckNewVersion", CheckBox};
inline constexpr Control cbKeepFilesPlain{"cbKeepFilesPlain", CheckBox};
inline constexpr Control cbReviewBeforeSave{"cbReviewBeforeSave", CheckBox};
inline constexpr Control labNoUpdateSite{"labNoUpdateSite", Label};

// General and Character.
inline constexpr Control edMaxSpeed{"edMaxSpeed", LineEdit};
inline constexpr Control edTradeLaneSpeed{"edTradeLaneSpeed", LineEdit};
inline constexpr Control edCruiseSpeed{"edCruiseSpeed", LineEdit};
inline constexpr Control edCruiseDisruptTime{"edCruiseDisruptTime", LineEdit};
inline constexpr Control edMaxLootPerAstroid{"edMaxLootPerAstroid", LineEdit};
inline constexpr Control edHullUnitsPerItem{"edHullUnitsPerItem", LineEdit};
inline constexpr Control edShieldUnitsPerItem{"edShieldUnitsPerItem", LineEdit};
inline constexpr Control edStartingMoney{"edStartingMoney", LineEdit};
inline constexpr Control cbStartingBase{"cbStartingBase", ComboBox};

// Ship.
inline constexpr Control panBackShip{"panBackShip", Panel};
inline constexpr Control edIdsName{"edIdsName", LineEdit};
inline constexpr Control edShipRealName{"edShipRealName", LineEdit};
inline constexpr Control edShipName{"edShipName", LineEdit};
inline constexpr Control edShipNickName{"edShipNickName", LineEdit};
inline constexpr Control edShipLevel{"edShipLevel", LineEdit};
inline constexpr Control edPanzerung{"edPanzerung", LineEdit};
inline constexpr Control edNanobot{"edNanobot", LineEdit};
inline constexpr Control edShield{"edShield", LineEdit};
inline constexpr Control edMasse{"edMasse", LineEdit};
inline constexpr Control edHoldsize{"edHoldsize", LineEdit};
inline constexpr Control labPower{"labPower", Label};
inline constexpr Control edPowerMasse{"edPowerMasse", LineEdit};
inline constexpr Control edPowerCapacity{"edPowerCapacity", LineEdit};
inline constexpr Control edPowerRegen{"edPowerRegen", LineEdit};
inline constexpr Control edThrusterCapacity{"edThrusterCapacity", LineEdit};
inline constexpr Control edThrusterChargeRate{"edThrusterChargeRate", LineEdit};
inline constexpr Control labEngine{"labEngine", Label};
inline constexpr Control edEngineSpeed{"edEngineSpeed", LineEdit};
inline constexpr Control edCruisePowerUsage{"edCruisePowerUsage", LineEdit};
inline constexpr Control edCruiseChargeTime{"edCruiseChargeTime", LineEdit};
inline constexpr Control edReverseSpeed{"edReverseSpeed", LineEdit};
inline constexpr Control edReverseFraction{"edReverseFraction", LineEdit};
inline constexpr Control edEngineLinearDrag{"edEngineLinearDrag", LineEdit};
inline constexpr Control edEngineMaxForce{"edEngineMaxForce", LineEdit};
inline constexpr Control cbWeaponHP{"cbWeaponHP", ComboBox};
inline constexpr Control edWeaponHPLevel{"edWeaponHPLevel", LineEdit};
inline constexpr Control cbTurretHP{"cbTurretHP", ComboBox};
inline constexpr Control edTurretHpLevel{"edTurretHpLevel", LineEdit};
inline constexpr Control cbShieldTyp{"cbShieldTyp", ComboBox};
inline constexpr Control edShieldHPLevel{"edShieldHPLevel", LineEdit};
inline constexpr Control labTractor{"labTractor", Label};
inline constexpr Control edTractorRange{"edTractorRange", LineEdit};
inline constexpr Control edTractorSpeed{"edTractorSpeed", LineEdit};
inline constexpr Control labScanner{"labScanner", Label};

// Extended.
inline constexpr Control edSteeringTorque{"edSteeringTorque", LineEdit};
inline constexpr Control edRotationInertia{"edRotationInertia", LineEdit};
inline constexpr Control edAngularDrag{"edAngularDrag", LineEdit};
inline constexpr Control edMAxBankAngel{"edMAxBankAngel", LineEdit};
inline constexpr Control edLinearDrag{"edLinearDrag", LineEdit};
inline constexpr Control edCameraOffset{"edCameraOffset", LineEdit};
inline constexpr Control edCameraAngularAccel{"edCameraAngularAccel", LineEdit};
inline constexpr Control edCameraHorTurnAngle{"edCameraHorTurnAngle", LineEdit};
inline constexpr Control edVerUpTurnAngle{"edVerUpTurnAngle", LineEdit};
inline constexpr Control edVerDownTurnAngle{"edVerDownTurnAngle", LineEdit};
inline constexpr Control edLODRanges{"edLODRanges", LineEdit};

// Commodity.
inline constexpr Control edShipPrice{"edShipPrice", LineEdit};
inline constexpr Control cbRouteOrder{"cbRouteOrder", ComboBox};
inline constexpr Control cbStoryGatesOpen{"cbStoryGatesOpen", CheckBox};
inline constexpr Control btTravelSettings{"btTravelSettings", PushButton};
inline constexpr Control labTradeWorking{"labTradeWorking", Label};

// Check: the line above the problems ("No problems", or their count).
inline constexpr Control labCheckSummary{"labCheckSummary", Label};

// Constants: one key/value table per section.
inline constexpr Control ValueListEditor1{"ValueListEditor1", Table};
inline constexpr Control ValueListEditor2{"ValueListEditor2", Table};
inline constexpr Control ValueListEditor3{"ValueListEditor3", Table};
inline constexpr Control ValueListEditor4{"ValueListEditor4", Table};
inline constexpr Control ValueListEditor5{"ValueListEditor5", Table};
inline constexpr Control ValueListEditor6{"ValueListEditor6", Table};
inline constexpr Control ValueListEditor7{"ValueListEditor7", Table};

// Every control above; the window test and the test form go by this list.
inline constexpr auto all = std::to_array<Control>({
    tvMenu,
    btRead,
    lbShips,
    btRelload,
    btSave,
    btCloseSet,
    panOutsideChange,
    labOutsideChange,
    btOutsideReload,
    btOutsideKeep,
    edPfad,
    edFliniDir,
    cbShowSecurityWarnings,
    cbCheckNewVersion,
    cbKeepFilesPlain,
    cbReviewBeforeSave,
    labNoUpdateSite,
    edMaxSpeed,
    edTradeLaneSpeed,
    edCruiseSpeed,
    edCruiseDisruptTime,
    edMaxLootPerAstroid,
    edHullUnitsPerItem,
    edShieldUnitsPerItem,
    edStartingMoney,
    cbStartingBase,
    panBackShip,
    edIdsName,
    edShipRealName,
    edShipName,
    edShipNickName,
    edShipLevel,
    edPanzerung,
    edNanobot,
    edShield,
    edMasse,
    edHoldsize,
    labPower,
    edPowerMasse,
    edPowerCapacity,
    edPowerRegen,
    edThrusterCapacity,
    edThrusterChargeRate,
    labEngine,
    edEngineSpeed,
    edCruisePowerUsage,
    edCruiseChargeTime,
    edReverseSpeed,
    edReverseFraction,
    edEngineLinearDrag,
    edEngineMaxForce,
    cbWeaponHP,
    edWeaponHPLevel,
    cbTurretHP,
    edTurretHpLevel,
    cbShieldTyp,
    edShieldHPLevel,
    labTractor,
    edTractorRange,
    edTractorSpeed,
    labScanner,
    edSteeringTorque,
    edRotationInertia,
    edAngularDrag,
    edMAxBankAngel,
    edLinearDrag,
    edCameraOffset,
    edCameraAngularAccel,
    edCameraHorTurnAngle,
    edVerUpTurnAngle,
    edVerDownTurnAngle,
    edLODRanges,
    edShipPrice,
    cbRouteOrder,
    cbStoryGatesOpen,
    btTravelSettings,
    labTradeWorking,
    labCheckSummary,
    ValueListEditor1,
    ValueListEditor2,
    ValueListEditor3,
    ValueListEditor4,
    ValueListEditor5,
    ValueListEditor6,
    ValueListEditor7,
});

// The control of that name, or nullptr when the window has none.
constexpr const Control* find(std::string_view name) {
    const auto found =
        std::find_if(all.begin(), all.end(), [name](const Control& c) { return c.name == name; });
    return found == all.end() ? nullptr : &*found;
}

template <class List> constexpr bool namesAreUnique(const List& list) {
    for (auto a = list.begin(); a != list.end(); ++a) {
        if (std::find_if(a + 1, list.end(), [a](const Control& c) { return c.name == a->name; }) !=
            list.end()) {
            return false;
        }
    }
    return true;
}
static_assert(namesAreUnique(all), "a control is listed twice");

// What the window's code makes itself, outside the designed window: the menu bar, the
// dialogs and their controls. Form never reaches them, so they are not in the list above; a
// window test checks them against the windows that make them.
inline constexpr Control menuBarMain{"menuBarMain", MenuBar};
// The review before a save.
inline constexpr Control dlgReview{"dlgReview", Dialog};
inline constexpr Control memoReview{"memoReview", TextArea};
inline constexpr Control cbReviewDontShow{"cbReviewDontShow", CheckBox};
inline constexpr Control btReviewSave{"btReviewSave", PushButton};
inline constexpr Control btReviewCancel{"btReviewCancel", PushButton};
// Help.
inline constexpr Control dlgHelp{"dlgHelp", Dialog};
inline constexpr Control memoHelp{"memoHelp", TextArea};
// The Fleet page's "Change...".
inline constexpr Control FleetChangeDialog{"FleetChangeDialog", Dialog};
inline constexpr Control cbFleetOperation{"cbFleetOperation", ComboBox};
inline constexpr Control edFleetOperand{"edFleetOperand", LineEdit};
inline constexpr Control labFleetShared{"labFleetShared", Label};
inline constexpr Control btFleetChangeOk{"btFleetChangeOk", PushButton};
inline constexpr Control btFleetChangeCancel{"btFleetChangeCancel", PushButton};
// The update dialog's second status panel (speed and time left).
inline constexpr Control StatusBar1Panel1{"StatusBar1Panel1", Label};

inline constexpr auto made = std::to_array<Control>({
    menuBarMain,
    dlgReview,
    memoReview,
    cbReviewDontShow,
    btReviewSave,
    btReviewCancel,
    dlgHelp,
    memoHelp,
    FleetChangeDialog,
    cbFleetOperation,
    edFleetOperand,
    labFleetShared,
    btFleetChangeOk,
    btFleetChangeCancel,
    StatusBar1Panel1,
});
static_assert(namesAreUnique(made), "a control is listed twice");
static_assert(std::none_of(made.begin(), made.end(),
                           [](const Control& c) { return find(c.name) != nullptr; }),
              "a control is listed in both lists");

// The Commodity page's tables. Form never reaches them (the page fills them through its
// models); a typed price names the table it was typed in.
inline constexpr Control tvCommodities{"tvCommodities", ItemView};
inline constexpr Control tvMarkets{"tvMarkets", ItemView};

inline constexpr auto views = std::to_array<Control>({tvCommodities, tvMarkets});

} // namespace controls

} // namespace skarvel
