#include "ships/ShipPlaces.h"

#include "gamedata/SectionNumbering.h"
#include "ships/ShipFields.h"
#include "ships/ShipLoader.h"

namespace skarvel {

std::string sectionAt(const std::vector<std::string>& list, int index) {
    return index >= 0 && index < static_cast<int>(list.size())
               ? list[static_cast<std::size_t>(index)]
               : std::string();
}

GroupPlace placeOf(ShipGroup group, const LoadedShip& ship, const SectionLists& sections) {
    switch (group) {
    case ShipGroup::Ship:
    case ShipGroup::Extended:
    case ShipGroup::Handling:
        return {SettingsFile::ShipArch, sectionAt(sections.ships, ship.shipIndex)};
    case ShipGroup::Hull:
        return {SettingsFile::Goods, sectionAt(sections.goods, ship.hullGoodIndex)};
    case ShipGroup::Tractor:
        return {SettingsFile::MiscEquip, "Tractor"};
    case ShipGroup::Power:
        return {SettingsFile::MiscEquip, sectionAt(sections.powers, ship.powerIndex)};
    case ShipGroup::Engine:
        return {SettingsFile::EngineEquip, sectionAt(sections.engines, ship.engineIndex)};
    }
    return {SettingsFile::ShipArch, {}};
}

SectionRef sectionRefOf(ShipGroup group, const LoadedShip& ship) {
    switch (group) {
    case ShipGroup::Ship:
    case ShipGroup::Extended:
    case ShipGroup::Handling:
        return SectionRef::withNickname(SettingsFile::ShipArch, "Ship", ship.shipNickname);
    case ShipGroup::Hull:
        return SectionRef::withNickname(SettingsFile::Goods, "Good", ship.hullNickname);
    case ShipGroup::Tractor:
        return SectionRef::named(SettingsFile::MiscEquip, "Tractor");
    case ShipGroup::Power:
        return SectionRef::withNickname(SettingsFile::MiscEquip, "Power", ship.powerName);
    case ShipGroup::Engine:
        return SectionRef::withNickname(SettingsFile::EngineEquip, "Engine", ship.engineName);
    }
    return {};
}

} // namespace skarvel
