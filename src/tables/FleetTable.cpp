#include "tables/FleetTable.h"

#include "check/ModFiles.h"
#include "gamedata/DataFileSet.h"
#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "gamedata/SectionFinder.h"
#include "platform/AsciiText.h"
#include "ships/EngineValues.h"
#include "ships/HardpointLines.h"
#include "ships/Numbers.h"
#include "ships/PackageEquipment.h"
#include "ships/ShipFields.h"
#include "ships/ShipPlaces.h"
#include "tables/FleetColumns.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <memory>
#include <unordered_map>

namespace skarvel {

namespace {

using Parsed = std::shared_ptr<const ini::ParsedIni>;

std::string valueOf(const ini::ParsedIni& ini, const ini::ParsedIni::Section* section,
                    std::string_view key, std::string_view fallback) {
    const auto* found = section ? ini.findKey(*section, key) : nullptr;
    return found ? ini.value(*found) : std::string(fallback);
}

enum class Letters { Exact, AnyCase };

std::string keyOf(std::string value, Letters letters) {
    return letters == Letters::Exact ? value : lowerAsciiCopy(value);
}

// key value -> the first position whose section holds it (ReadValue with the default
// fallback, so a section without the key answers to the default).
std::unordered_map<std::string, int> firstWith(const ini::ParsedIni* ini,
                                               const std::vector<std::string>& sections,
                                               std::string_view key, std::string_view fallback,
                                               Letters letters = Letters::Exact) {
    std::unordered_map<std::string, int> first;
    for (std::size_t k = 0; k < sections.size(); ++k) {
        const auto* section = ini ? ini->findSection(sections[k]) : nullptr;
        first.try_emplace(
            keyOf(ini ? valueOf(*ini, section, key, fallback) : std::string(fallback), letters),
            static_cast<int>(k));
    }
    return first;
}

int lookUp(const std::unordered_map<std::string, int>& first, const std::string& value, int missing,
           Letters letters = Letters::Exact) {
    const auto found = first.find(keyOf(value, letters));
    return found == first.end() ? missing : found->second;
}

// The texts of the group's fields in the section (by their place in shipFields()).
void readFieldTexts(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                    ShipGroup group, std::vector<std::string>& texts) {
    const std::span<const ShipField> fields = shipFieldsOf(group);
    const std::size_t first = static_cast<std::size_t>(fields.data() - shipFields().data());
    std::vector<bool> found(fields.size(), false);
    for (std::size_t k = section.firstKey; k < section.firstKey + section.keyCount; ++k) {
        const auto& key = ini.keys()[k];
        const std::string_view name = ini.name(key);
        for (std::size_t f = 0; f < fields.size(); ++f) {
            if (!found[f] && equalsIgnoringCase(name, fields[f].key)) {
                found[f] = true;
                texts[first + f] = ini.value(key);
            }
        }
    }
}

// The tractor the package carries, found by its nickname as the save finds it.
const ini::ParsedIni::Section* tractorOf(const ini::ParsedIni& misc, const std::string& nickname) {
    const std::vector<std::size_t> found = sectionsWithNickname(misc, "Tractor", nickname);
    return found.empty() ? nullptr : &misc.sections()[found.front()];
}

// The special hardpoints of one sort: how many, and the highest level any has.
struct Mounts {
    std::vector<std::string> names;
    int highest = 0;
};

int levelAfter(std::string_view type, std::string_view prefix) {
    const std::size_t at = type.find(prefix);
    if (at == std::string_view::npos) {
        return -1;
    }
    try {
        return parseWholeNumber(type.substr(at + prefix.size()));
    } catch (const std::exception&) {
        return -1;
    }
}

std::array<Mounts, 3> mountsOf(const ini::ParsedIni& ini, const ini::ParsedIni::Section* section) {
    std::array<Mounts, 3> mounts;
    if (!section) {
        return mounts;
    }
    for (std::size_t k = section->firstKey; k < section->firstKey + section->keyCount; ++k) {
        const auto& key = ini.keys()[k];
        if (ini.name(key) != "hp_type") {
            continue;
        }
        const std::string value = ini.value(key);
        const SpecialMount sort = specialMount(value);
        if (sort == SpecialMount::None) {
            continue;
        }
        const std::vector<std::string> items = splitItems(value);
        Mounts& found = mounts[static_cast<std::size_t>(sort) - 1];
        found.highest = std::max(
            found.highest,
            levelAfter(items.front(), sort == SpecialMount::Gun      ? "_gun_special_"
                                      : sort == SpecialMount::Turret ? "_turret_special_"
                                                                     : "_shield_special_"));
        for (std::size_t i = 1; i < items.size(); ++i) {
            const std::string& name = items[i];
            if (!name.empty() &&
                std::none_of(found.names.begin(), found.names.end(), [&](const std::string& known) {
                    return equalsIgnoringCase(known, name);
                })) {
                found.names.push_back(name);
            }
        }
    }
    return mounts;
}

} // namespace

FleetFiles FleetFiles::of(const DataSet& dataSet) {
    FleetFiles files;
    for (const SettingsFile file : {SettingsFile::ShipArch, SettingsFile::Goods,
                                    SettingsFile::MiscEquip, SettingsFile::EngineEquip}) {
        files.parses[static_cast<std::size_t>(file)] = ini::currentIni(dataSet.ini(file).path());
    }
    files.sections = dataSet.sections();
    return files;
}

FleetFiles FleetFiles::of(const check::ModFiles& mod) {
    const DataFileSet set = makeDataFileSet(mod.gameFolder);
    FleetFiles files;
    const auto take = [&](SettingsFile file, DataFileIndex index, std::string_view kind,
                          std::vector<std::string>& list) {
        const std::string& path = set.files[static_cast<std::size_t>(index)];
        for (const check::SourceFile& source : mod.files) {
            std::error_code failed;
            if (std::filesystem::equivalent(mod.gameFolder + source.shown, path, failed)) {
                files.parses[static_cast<std::size_t>(file)] = source.ini;
                list = kindSectionNames(*source.ini, kind);
                return;
            }
        }
    };
    take(SettingsFile::ShipArch, kShipArch, "Ship", files.sections.ships);
    take(SettingsFile::Goods, kGoods, "Good", files.sections.goods);
    take(SettingsFile::MiscEquip, kMiscEquip, "Power", files.sections.powers);
    take(SettingsFile::EngineEquip, kEngineEquip, "Engine", files.sections.engines);
    return files;
}

std::vector<LoadedShip> locateShips(const DataSet& dataSet) {
    return locateShips(FleetFiles::of(dataSet));
}

std::vector<LoadedShip> locateShips(const FleetFiles& files) {
    const SectionLists& lists = files.sections;
    const Parsed shipArch = files.parse(SettingsFile::ShipArch);
    const Parsed goods = files.parse(SettingsFile::Goods);
    const Parsed misc = files.parse(SettingsFile::MiscEquip);
    const Parsed engines = files.parse(SettingsFile::EngineEquip);
    const auto hullOfShip = firstWith(goods.get(), lists.goods, "Ship", "");
    const auto packageOfHull = firstWith(goods.get(), lists.goods, "Hull", "");
    // The game finds equipment by nickname in any letter case.
    const auto powerOf = firstWith(misc.get(), lists.powers, "nickname", "*fail", Letters::AnyCase);
    const auto engineOf =
        firstWith(engines.get(), lists.engines, "nickname", "*fail", Letters::AnyCase);
    const int goodCount = static_cast<int>(lists.goods.size());

    std::vector<LoadedShip> ships(lists.ships.size());
    for (std::size_t k = 0; k < ships.size(); ++k) {
        LoadedShip& ship = ships[k];
        ship.shipIndex = static_cast<int>(k);
        ship.loaded = true;
        const auto* section = shipArch ? shipArch->findSection(lists.ships[k]) : nullptr;
        ship.shipNickname = shipArch ? valueOf(*shipArch, section, "nickname", "") : "";
        ship.hullGoodIndex = lookUp(hullOfShip, ship.shipNickname, goodCount);
        const std::string hull = sectionAt(lists.goods, ship.hullGoodIndex);
        const auto* hullSection = goods && !hull.empty() ? goods->findSection(hull) : nullptr;
        ship.hullNickname = hullSection ? valueOf(*goods, hullSection, "nickname", "") : "";
        ship.packageGoodIndex = lookUp(packageOfHull, ship.hullNickname, goodCount);
        const std::string package = sectionAt(lists.goods, ship.packageGoodIndex);
        const auto* packageSection =
            goods && !package.empty() ? goods->findSection(package) : nullptr;
        if (packageSection) {
            PackageEquipment names = packageEquipment(*goods, *packageSection);
            ship.engineName = std::move(names.engine);
            ship.powerName = std::move(names.power);
            ship.scannerName = std::move(names.scanner);
            ship.tractorName = std::move(names.tractor);
        }
        ship.powerIndex = lookUp(powerOf, ship.powerName, -1, Letters::AnyCase);
        ship.engineIndex = lookUp(engineOf, ship.engineName, -1, Letters::AnyCase);
    }
    return ships;
}

FleetTable FleetTable::read(const DataSet& dataSet, const std::vector<std::string>& names) {
    return read(FleetFiles::of(dataSet), names);
}

FleetTable FleetTable::read(const FleetFiles& files, const std::vector<std::string>& names) {
    FleetTable table;
    const ini::ReadOnlyPhase readOnly;
    const auto columns = fleetColumns();
    std::vector<LoadedShip> places = locateShips(files);
    const Parsed shipArch = files.parse(SettingsFile::ShipArch);
    table.shipArch_ = shipArch;
    table.rows_.reserve(places.size());
    for (std::size_t k = 0; k < places.size(); ++k) {
        FleetShip row{k < names.size() ? names[k] : std::string(), std::move(places[k]), {}};
        const LoadedShip& ship = row.place;
        // Each group's section once: the field table's keys are read from it.
        std::array<std::pair<Parsed, const ini::ParsedIni::Section*>, 8> groups{};
        for (int g = 1; g <= 7; ++g) {
            const auto group = static_cast<ShipGroup>(g);
            const GroupPlace place = placeOf(group, ship, files.sections);
            if (place.section.empty()) {
                continue; // not found: the ship load leaves these fields empty
            }
            Parsed ini = files.parse(place.file);
            const ini::ParsedIni::Section* section = nullptr;
            if (ini && group == ShipGroup::Tractor) {
                section = tractorOf(*ini, ship.tractorName);
            } else if (ini) {
                section = ini->findSection(place.section);
            }
            row.groupFound[static_cast<std::size_t>(g)] = section != nullptr;
            groups[static_cast<std::size_t>(g)] = {std::move(ini), section};
        }
        // Each section's keys in one pass, the first of a name winning as in a lookup: a
        // thousand ships are tens of thousands of keys.
        std::vector<std::string> texts(shipFields().size());
        for (int g = 1; g <= 7; ++g) {
            const auto& [ini, section] = groups[static_cast<std::size_t>(g)];
            if (ini && section) {
                readFieldTexts(*ini, *section, static_cast<ShipGroup>(g), texts);
            }
        }
        const auto fieldText = [&](const ShipField& field) {
            return texts[static_cast<std::size_t>(&field - shipFields().data())];
        };
        const auto& [shipIni, shipSection] = groups[1];
        const std::array<Mounts, 3> mounts =
            shipIni ? mountsOf(*shipIni, shipSection) : std::array<Mounts, 3>{};
        std::string speed;
        row.cells.reserve(columns.size());
        for (const FleetColumn& column : columns) {
            std::string text;
            switch (column.source) {
            case FleetSource::Name:
                text = row.name;
                break;
            case FleetSource::ShipKey:
                text = shipIni ? valueOf(*shipIni, shipSection, column.key,
                                         column.key == "ids_name" ? "*fail" : "")
                               : std::string();
                break;
            case FleetSource::Field:
                text = fieldText(*column.field);
                break;
            case FleetSource::EngineName:
                text = ship.engineName;
                break;
            case FleetSource::PowerName:
                text = ship.powerName;
                break;
            case FleetSource::EngineSpeed:
                if (ship.engineIndex >= 0) {
                    const DerivedSpeed derived =
                        deriveEngineSpeed(row.cells[fleetColumnOfKey("engine.max_force")],
                                          row.cells[fleetColumnOfKey("engine.linear_drag")]);
                    speed = derived.value ? std::to_string(*derived.value) : std::string();
                }
                text = speed;
                break;
            case FleetSource::ReverseSpeed:
                if (!speed.empty()) {
                    const DerivedSpeed derived = deriveReverseSpeed(
                        speed, row.cells[fleetColumnOfKey("engine.reverse_fraction")]);
                    text = derived.value ? std::to_string(*derived.value) : std::string();
                }
                break;
            case FleetSource::MountCount:
            case FleetSource::MountLevel: {
                const Mounts& found = mounts[static_cast<std::size_t>(column.mount)];
                const bool count = column.source == FleetSource::MountCount;
                text = std::to_string(count ? static_cast<int>(found.names.size()) : found.highest);
                break;
            }
            }
            row.cells.push_back(std::move(text));
        }
        table.rows_.push_back(std::move(row));
    }
    return table;
}

std::string FleetTable::specialLinesAsRead(const std::string& shipNickname) const {
    return shipArch_ ? specialLinesOf(*shipArch_, shipNickname) : std::string();
}

} // namespace skarvel
