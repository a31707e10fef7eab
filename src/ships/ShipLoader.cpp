#include "ships/ShipLoader.h"

#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "gamedata/SectionFinder.h"
#include "journal/Encoding.h"
#include "journal/Journal.h"
#include "ports/Controls.h"
#include "ports/Form.h"
#include "ships/EngineValues.h"
#include "ships/EquipmentUsers.h"
#include "ships/HardpointLines.h"
#include "ships/Hardpoints.h"
#include "ships/PackageEquipment.h"
#include "ships/ShipCatalogue.h"
#include "ships/ShipFields.h"
#include "ships/ShipPlaces.h"

#include <stdexcept>
#include <vector>

namespace skarvel {

namespace {

constexpr auto kInfo = JournalEntryKind::Info;

// Position of the first section whose nickname is name (exact case), or -1.
int findByNickname(const TUserIniFile& ini, const std::vector<std::string>& sections,
                   std::string_view name) {
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (ini.ReadValue(sections[i], "nickname", "*fail") == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

ShipLoader::ShipLoader(TJournal& journal, Form& form, const DataSet& dataSet,
                       Hardpoints& hardpoints)
    : journal_(journal), form_(form), dataSet_(dataSet), hardpoints_(hardpoints) {}

void ShipLoader::CLEAR_ALL_VALUES() {
    journal_.Write("CLEAR_ALL_VALUES - Gui Felder löschen", kInfo);
    form_.setItems(controls::cbWeaponHP, {});
    form_.setItems(controls::cbTurretHP, {});
    form_.setSelectedIndex(controls::cbShieldTyp, 0);
    form_.setText(controls::labEngine, "ENGINE");
    form_.setText(controls::labPower, "POWER");
    form_.setText(controls::labTractor, "TRACTOR BEAM");
    form_.setText(controls::labScanner, "SCANNER");
    for (const std::string_view field : clearedShipFields()) {
        form_.setText(field, "");
    }
}

int ShipLoader::findGood(std::string_view key, std::string_view value) const {
    const auto& sections = dataSet_.sections().goods;
    const int count = static_cast<int>(sections.size());
    const TUserIniFile& goods = dataSet_.goodsIni();
    for (int k = 0; k < count; ++k) {
        if (goods.ReadValue(sections[static_cast<std::size_t>(k)], key, "") == value) {
            return k;
        }
    }
    return count;
}

int ShipLoader::FindHullGood(std::string_view shipNickname) const {
    return findGood("Ship", shipNickname);
}

int ShipLoader::FindPackageGood(std::string_view hullNickname) const {
    return findGood("Hull", hullNickname);
}

void ShipLoader::readGroup(ShipGroup group, const LoadedShip& ship) {
    const GroupPlace place = placeOf(group, ship, dataSet_.sections());
    if (place.section.empty()) {
        return; // not found: the fields stay empty from the clear
    }
    const TUserIniFile& ini = dataSet_.ini(place.file);
    const std::string& section = place.section;
    // Shown as the file writes them, decimal commas and points alike.
    for (const ShipField& field : shipFieldsOf(group)) {
        form_.setText(field.field, ini.ReadValue(section, field.key, ""));
    }
}

void ShipLoader::findEquipmentNames(LoadedShip& ship) {
    journal_.Write("Engine/ Power Name suchen", kInfo);
    const auto goods = ini::currentIni(dataSet_.goodsIni().path());
    const std::string name = sectionAt(dataSet_.sections().goods, ship.packageGoodIndex);
    const auto* package = goods && !name.empty() ? goods->findSection(name) : nullptr;
    PackageEquipment names = package ? packageEquipment(*goods, *package) : PackageEquipment{};
    ship.packageNickname = package ? nicknameOf(*goods, *package) : std::string();
    ship.engineName = std::move(names.engine);
    ship.powerName = std::move(names.power);
    ship.scannerName = std::move(names.scanner);
    ship.tractorName = std::move(names.tractor);
    journal_.WriteFormatted("Engine = %s / Power = %s / Scanner = %s / Tractor = %s ",
                            {ship.engineName, ship.powerName, ship.scannerName, ship.tractorName},
                            JournalEntryKind::Data);
    showSharing(ship);
    form_.setText(controls::labTractor, "TRACTOR BEAM :: [" + ship.tractorName + "]");
    form_.setText(controls::labScanner, "SCANNER :: [" + ship.scannerName + "]");
}

// The speeds are only shown: one that cannot be worked out stays empty and the load goes on.
void ShipLoader::deriveEngineSpeeds(const LoadedShip& ship) {
    const DerivedSpeed speed = deriveEngineSpeed(form_.text(controls::edEngineMaxForce),
                                                 form_.text(controls::edEngineLinearDrag));
    if (!speed.value) {
        journal_.WriteFormatted("Engine %s: Geschwindigkeit nicht berechenbar - %s",
                                {ship.engineName, speed.fault}, JournalEntryKind::Warning);
        return;
    }
    form_.setText(controls::edEngineSpeed, std::to_string(*speed.value));
    const DerivedSpeed reverse = deriveReverseSpeed(form_.text(controls::edEngineSpeed),
                                                    form_.text(controls::edReverseFraction));
    if (!reverse.value) {
        journal_.WriteFormatted("Engine %s: Rückwärtsgeschwindigkeit nicht berechenbar - %s",
                                {ship.engineName, reverse.fault}, JournalEntryKind::Warning);
        return;
    }
    form_.setText(controls::edReverseSpeed, std::to_string(*reverse.value));
}

void ShipLoader::showSharing(LoadedShip& ship) {
    const EquipmentUsers users(dataSet_, form_.items(controls::lbShips));
    const auto shown = static_cast<std::size_t>(ship.shipIndex);
    const auto show = [&](std::string_view label, std::string_view caption, const std::string& name,
                          const EquipmentUsers::Users& found) {
        const std::string usedBy = usedByText(found);
        form_.setText(label, std::string(caption) + " :: [" + name + "]" +
                                 (usedBy.empty() ? std::string() : " " + usedBy));
        form_.setToolTip(label, found.others.empty()
                                    ? std::string()
                                    : "Also used by: " + joinedNames(found.others));
    };
    const EquipmentUsers::Users engine = users.usersOfEngine(ship.engineName, shown);
    const EquipmentUsers::Users power = users.usersOfPower(ship.powerName, shown);
    show(controls::labEngine, "ENGINE", ship.engineName, engine);
    show(controls::labPower, "POWER", ship.powerName, power);
    ship.engineSharedWith = engine.others;
    ship.powerSharedWith = power.others;
}

void ShipLoader::load(LoadedShip& ship) {
    ship = LoadedShip{};
    ship.hullGoodIndex = -1;
    ship.packageGoodIndex = -1;

    // Identity: the list position is the ship's number.
    const auto& ships = dataSet_.sections().ships;
    ship.shipIndex = form_.selectedIndex(controls::lbShips);
    if (ship.shipIndex < 0 || ship.shipIndex >= static_cast<int>(ships.size())) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(ship.shipIndex) +
                                ")");
    }
    ship.loaded = true;
    const TUserIniFile& shipArch = dataSet_.shipArchIni();
    ship.shipNickname =
        shipArch.ReadValue(ships[static_cast<std::size_t>(ship.shipIndex)], "nickname", "");
    const auto shipIndex = static_cast<std::size_t>(ship.shipIndex);
    form_.setText(controls::edIdsName,
                  shipArch.ReadValue(ships[shipIndex], "ids_name", kMissingIdsName));
    const auto names = form_.items(controls::lbShips);
    form_.setText(controls::edShipRealName, names.at(shipIndex));
    // The name is UTF-8 (ShipCatalogue.h), the journal Windows-1252.
    journal_.WriteFormatted("Gewähltes Schiff: lbIndex=%d IDS_Name=%s RealName=%s",
                            {ship.shipIndex, form_.text(controls::edIdsName),
                             toCp1252(form_.text(controls::edShipRealName))},
                            JournalEntryKind::Data);

    journal_.Write("Ship Values auslesen", kInfo);
    readGroup(ShipGroup::Ship, ship);
    journal_.Write("Ship Extended Values auslesen", kInfo);
    readGroup(ShipGroup::Extended, ship);
    journal_.Write("Handling Values auslesen", kInfo);
    readGroup(ShipGroup::Handling, ship);

    journal_.Write("Schiffshülle suchen", kInfo);
    ship.hullGoodIndex = FindHullGood(form_.text(controls::edShipNickName));
    const std::string hullSection = placeOf(ShipGroup::Hull, ship, dataSet_.sections()).section;
    ship.hullNickname = hullSection.empty()
                            ? std::string()
                            : dataSet_.goodsIni().ReadValue(hullSection, "nickname", "");
    ship.packageGoodIndex = FindPackageGood(ship.hullNickname);
    journal_.WriteFormatted("Gefundene Schiffshülle: %s ", {ship.hullNickname},
                            JournalEntryKind::Data);
    readGroup(ShipGroup::Hull, ship);

    findEquipmentNames(ship);

    readGroup(ShipGroup::Tractor, ship);

    journal_.Write("Den passenden Eintrag für den Powergenerator finden", kInfo);
    ship.powerIndex =
        findByNickname(dataSet_.miscEquipIni(), dataSet_.sections().powers, ship.powerName);
    readGroup(ShipGroup::Power, ship);

    journal_.Write("Den passenden Eintrag für die Engine finden", kInfo);
    ship.engineIndex =
        findByNickname(dataSet_.engineEquipIni(), dataSet_.sections().engines, ship.engineName);
    if (ship.engineIndex >= 0) {
        journal_.Write("Engine Gui Values eintragen", JournalEntryKind::Begin);
        readGroup(ShipGroup::Engine, ship);
        deriveEngineSpeeds(ship);
        journal_.Write("Engine Gui Values eintragen", JournalEntryKind::End);
    }
    for (const ShipField& field : shipFields()) {
        ship.loadedTexts[std::string(field.field)] = form_.text(field.field);
    }

    form_.repaint(controls::panBackShip);
    // The header carries the section's number, which after another program's changes need not
    // be its row.
    hardpoints_.LoadHardpointValues(dataSet_.files().files[kShipArch],
                                    std::string_view(ships[shipIndex]));
    ship.hardpointsLoaded = true;
    if (const auto parsed = ini::currentIni(dataSet_.files().files[kShipArch])) {
        ship.specialLines = specialLinesOf(*parsed, ship.shipNickname);
    }
}

} // namespace skarvel
