#include "ships/GeneralValues.h"

#include "gamedata/DataSet.h"
#include "gamedata/TextParts.h"
#include "ports/Controls.h"
#include "ports/Form.h"
#include "ships/ShipFields.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

namespace {

struct GeneralValue {
    std::string_view field;
    SettingsFile file;
    std::string_view section;
    std::string_view key;
};

constexpr auto kGeneralValues = std::to_array<GeneralValue>({
    {controls::edMaxSpeed, SettingsFile::Constants, "PhySysConsts", "ANOM_LIMITS_MAX_VELOCITY"},
    {controls::edCruiseSpeed, SettingsFile::Constants, "EngineEquipConsts", "CRUISING_SPEED"},
    {controls::edCruiseDisruptTime, SettingsFile::Constants, "EngineEquipConsts",
     "CRUISE_DISRUPT_TIME"},
    {controls::edMaxLootPerAstroid, SettingsFile::Constants, "AsteroidConsts",
     "MAX_LOOT_PER_ASTEROID"},
    {controls::edHullUnitsPerItem, SettingsFile::MiscEquip, "RepairKit", "units_per_container"},
    {controls::edShieldUnitsPerItem, SettingsFile::MiscEquip, "ShieldBattery",
     "units_per_container"},
    {controls::edStartingMoney, SettingsFile::NewCharacter, "Package", "money"},
});

constexpr std::string_view kDefaultBase = "LI01_01_Base";

std::string selectedText(const Form& form, std::string_view control) {
    const int index = form.selectedIndex(control);
    const auto items = form.items(control);
    return index >= 0 && index < static_cast<int>(items.size())
               ? items[static_cast<std::size_t>(index)]
               : std::string();
}

} // namespace

LoadedGeneral readGeneralValues(const DataSet& dataSet) {
    LoadedGeneral loaded;
    for (const GeneralValue& value : kGeneralValues) {
        loaded.texts[std::string(value.field)] =
            dataSet.ini(value.file).ReadValue(value.section, value.key, "");
    }
    loaded.base = dataSet.newCharacterIni().ReadValue("Faction", "base", "");
    return loaded;
}

LoadedGeneral loadGeneralValues(const DataSet& dataSet, Form& form) {
    LoadedGeneral loaded = readGeneralValues(dataSet);
    for (const auto& [field, text] : loaded.texts) {
        form.setText(field, text);
    }

    std::vector<std::string> bases = dataSet.resourceIni().ListKeys("IdByBase");
    const std::string& nickname = loaded.base;
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
    return loaded;
}

GeneralChanges generalChanges(const DataSet& dataSet, const Form& form, const LoadedGeneral& loaded,
                              bool basePicked) {
    GeneralChanges changes;
    for (const GeneralValue& value : kGeneralValues) {
        const auto found = loaded.texts.find(value.field);
        const std::string before = found == loaded.texts.end() ? std::string() : found->second;
        const std::string now = inNotationOf(form.text(value.field), before);
        if (now.empty() || now == before) {
            continue;
        }
        auto& list =
            value.file == SettingsFile::NewCharacter ? changes.newCharacter : changes.general;
        list.push_back({SectionRef::named(value.file, value.section), std::string(value.key),
                        before, now, std::string(value.field)});
    }
    if (!basePicked) {
        return changes; // the file's base stays as it is, known to resource.ini or not
    }
    // Nothing selected reads as an empty name, which names no base. An item that is no key
    // of IdByBase is the nickname of a base resource.ini does not know.
    const std::string shown = selectedText(form, controls::cbStartingBase);
    const std::string base = shown.empty()
                                 ? std::string(kDefaultBase)
                                 : dataSet.resourceIni().ReadValue("IdByBase", shown, shown);
    if (base != loaded.base) {
        changes.newCharacter.push_back({SectionRef::named(SettingsFile::NewCharacter, "Faction"),
                                        "base", loaded.base, base,
                                        std::string(controls::cbStartingBase)});
    }
    return changes;
}

} // namespace skarvel
