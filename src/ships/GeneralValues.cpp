#include "ships/GeneralValues.h"

#include "gamedata/DataSet.h"
#include "gamedata/SectionGuard.h"
#include "gamedata/TextParts.h"
#include "journal/Journal.h"
#include "ports/Controls.h"
#include "ports/Form.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

namespace {

struct GeneralValue {
    std::string_view field;
    DataFileIndex file;
    std::string_view section;
    std::string_view key;
};

constexpr auto kGeneralValues = std::to_array<GeneralValue>({
    {controls::edMaxSpeed, kConstants, "PhySysConsts", "ANOM_LIMITS_MAX_VELOCITY"},
    {controls::edCruiseSpeed, kConstants, "EngineEquipConsts", "CRUISING_SPEED"},
    {controls::edCruiseDisruptTime, kConstants, "EngineEquipConsts", "CRUISE_DISRUPT_TIME"},
    {controls::edMaxLootPerAstroid, kConstants, "AsteroidConsts", "MAX_LOOT_PER_ASTEROID"},
    {controls::edHullUnitsPerItem, kMiscEquip, "RepairKit", "units_per_container"},
    {controls::edShieldUnitsPerItem, kMiscEquip, "ShieldBattery", "units_per_container"},
});

constexpr std::string_view kDefaultBase = "LI01_01_Base";

TUserIniFile& iniOf(const DataSet& dataSet, DataFileIndex file) {
    return file == kConstants ? dataSet.constantsIni() : dataSet.miscEquipIni();
}

void writeToExistingSection(TJournal& journal, TUserIniFile& ini, std::string_view section,
                            std::string_view key, std::string_view value) {
    if (value.empty()) {
        return; // writes nothing anyway
    }
    if (!hasSection(ini, section)) {
        journal.WriteFormatted("Keine Sektion für %s gefunden - Werte werden nicht gespeichert",
                               {section}, JournalEntryKind::Warning);
        return;
    }
    writeChangedValue(ini, section, key, value);
}

std::string selectedText(const Form& form, std::string_view control) {
    const int index = form.selectedIndex(control);
    const auto items = form.items(control);
    return index >= 0 && index < static_cast<int>(items.size())
               ? items[static_cast<std::size_t>(index)]
               : std::string();
}

} // namespace

void loadGeneralValues(const DataSet& dataSet, Form& form) {
    for (const GeneralValue& value : kGeneralValues) {
        form.setText(value.field,
                     iniOf(dataSet, value.file).ReadValue(value.section, value.key, ""));
    }
    form.setText(controls::edStartingMoney,
                 dataSet.newCharacterIni().ReadValue("Package", "money", ""));

    std::vector<std::string> bases = dataSet.resourceIni().ListKeys("IdByBase");
    const std::string nickname = dataSet.newCharacterIni().ReadValue("Faction", "base", "");
    const std::string shown = dataSet.resourceIni().ReadValue("BaseById", nickname, "");
    int selected = -1;
    for (std::size_t i = 0; i < bases.size() && !shown.empty(); ++i) {
        if (equalsIgnoringCase(bases[i], shown)) {
            selected = static_cast<int>(i);
            break;
        }
    }
    if (selected < 0 && !nickname.empty()) {
        // A base of the mod that resource.ini does not know: the page shows what the file
        // says, by its nickname.
        bases.push_back(nickname);
        selected = static_cast<int>(bases.size()) - 1;
    }
    form.setItems(controls::cbStartingBase, bases);
    form.setSelectedIndex(controls::cbStartingBase, selected);
}

void saveGeneralValues(TJournal& journal, const DataSet& dataSet, const Form& form,
                       bool basePicked) {
    journal.Write("Werte für GENERAL", JournalEntryKind::Info);
    for (const GeneralValue& value : kGeneralValues) {
        writeToExistingSection(journal, iniOf(dataSet, value.file), value.section, value.key,
                               form.text(value.field));
    }
    journal.Write("Werte für NEWCHARACTER", JournalEntryKind::Info);
    TUserIniFile& newCharacter = dataSet.newCharacterIni();
    writeToExistingSection(journal, newCharacter, "Package", "money",
                           form.text(controls::edStartingMoney));
    if (!basePicked) {
        return; // the file's base stays as it is, known to resource.ini or not
    }
    // Nothing selected reads as an empty name, which names no base. An item that is no key
    // of IdByBase is the nickname of a base resource.ini does not know.
    const std::string shown = selectedText(form, controls::cbStartingBase);
    const std::string base = shown.empty()
                                 ? std::string(kDefaultBase)
                                 : dataSet.resourceIni().ReadValue("IdByBase", shown, shown);
    writeToExistingSection(journal, newCharacter, "Faction", "base", base);
}

} // namespace skarvel
