#include "trade/TradeData.h"

#include "gamedata/SectionFinder.h"
#include "platform/AsciiText.h"
#include "platform/CaseInsensitivePath.h"
#include "trade/PriceRules.h"
#include "trade/TradeFiles.h"

#include <algorithm>
#include <stdexcept>

namespace skarvel::trade {

namespace {

using ini::ParsedIni;

// Reads one file, or notes why it could not be read and what that leaves out.
std::shared_ptr<const ParsedIni> readOrNote(TradeData& data, const std::string& dataDir,
                                            const std::string& relative, std::string_view lost) {
    const std::string path = resolveCaseInsensitive(dataDir + relative);
    data.sources.emplace_back(path, FileStamp::of(path));
    try {
        return readSettingsFile(path);
    } catch (const std::exception& error) {
        data.problems.push_back(relative + ": " + error.what() + " - " + std::string(lost));
        return nullptr;
    }
}

// The game writes its paths with backslashes.
std::string slashed(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool named(const ParsedIni& ini, const ParsedIni::Section& section, std::string_view name) {
    return equalsIgnoringCase(ini.name(section), name);
}

std::string gameName(const NameLookup& names, const std::string& id, const std::string& fallback) {
    std::string name = id.empty() || !names ? std::string() : names(id);
    return name.empty() ? fallback : name;
}

void readCommodities(TradeData& data, const std::string& dataDir, const NameLookup& names) {
    const auto goods = readOrNote(data, dataDir, "EQUIPMENT/goods.ini", "no commodities");
    if (!goods) {
        return;
    }
    for (const auto& section : goods->sections()) {
        if (!isKindSection(*goods, section, "Good") ||
            !equalsIgnoringCase(keyValue(*goods, section, "category"), "commodity")) {
            continue;
        }
        Commodity commodity;
        commodity.nickname = keyValue(*goods, section, "nickname");
        commodity.priceText = keyValue(*goods, section, "price");
        const auto price = readNumber(commodity.priceText);
        const std::string key = lowerText(commodity.nickname);
        if (commodity.nickname.empty() || !price || data.commodityIndex.contains(key)) {
            continue;
        }
        commodity.price = *price;
        commodity.name = commodity.nickname;
        data.commodityIndex.emplace(key, data.commodities.size());
        data.commodities.push_back(std::move(commodity));
    }
    const auto select =
        readOrNote(data, dataDir, "EQUIPMENT/select_equip.ini", "names and volumes unknown");
    if (!select) {
        return;
    }
    for (const auto& section : select->sections()) {
        if (!named(*select, section, "Commodity")) {
            continue;
        }
        const auto found =
            data.commodityIndex.find(lowerText(keyValue(*select, section, "nickname")));
        if (found == data.commodityIndex.end()) {
            continue;
        }
        Commodity& commodity = data.commodities[found->second];
        commodity.name =
            gameName(names, keyValue(*select, section, "ids_name"), commodity.nickname);
        if (const auto volume = readNumber(keyValue(*select, section, "volume"));
            volume && *volume > 0) {
            commodity.volume = *volume;
        }
    }
}

void readSystemObjects(TradeData& data, const std::string& dataDir, std::size_t system,
                       const std::string& file) {
    const auto ini = readOrNote(data, dataDir, "UNIVERSE/" + slashed(file),
                                "its bases and gates are left out of the routes");
    if (!ini) {
        return;
    }
    for (const auto& section : ini->sections()) {
        if (!named(*ini, section, "Object")) {
            continue;
        }
        SpaceObject object;
        object.nickname = keyValue(*ini, section, "nickname");
        object.system = system;
        const std::string pos = keyValue(*ini, section, "pos");
        double* coordinates[] = {&object.x, &object.y, &object.z};
        std::size_t begin = 0;
        for (double* coordinate : coordinates) {
            const std::size_t comma = pos.find(',', begin);
            *coordinate = readNumber(pos.substr(begin, comma - begin)).value_or(0);
            begin = comma == std::string::npos ? pos.size() : comma + 1;
        }
        const std::string target = keyValue(*ini, section, "goto");
        if (const std::size_t comma = target.find(','); comma != std::string::npos) {
            object.gotoSystem = trimBlanks(std::string_view(target).substr(0, comma));
            const std::size_t second = target.find(',', comma + 1);
            object.gotoObject =
                trimBlanks(std::string_view(target).substr(comma + 1, second - comma - 1));
        }
        object.nextRing = keyValue(*ini, section, "next_ring");
        object.prevRing = keyValue(*ini, section, "prev_ring");
        const std::string base = lowerText(keyValue(*ini, section, "base"));
        if (const auto found = data.baseIndex.find(base);
            !base.empty() && found != data.baseIndex.end() &&
            data.bases[found->second].object == kNone) {
            data.bases[found->second].object = data.objects.size();
        }
        data.objects.push_back(std::move(object));
    }
}

void readUniverse(TradeData& data, const std::string& dataDir, const NameLookup& names) {
    const auto universe =
        readOrNote(data, dataDir, "UNIVERSE/universe.ini", "no bases, no systems, no routes");
    if (!universe) {
        return;
    }
    std::vector<std::string> systemFiles;
    for (const auto& section : universe->sections()) {
        if (!named(*universe, section, "system")) {
            continue;
        }
        StarSystem system{keyValue(*universe, section, "nickname"), {}};
        const std::string key = lowerText(system.nickname);
        if (system.nickname.empty() || data.systemIndex.contains(key)) {
            continue;
        }
        system.name = gameName(names, keyValue(*universe, section, "strid_name"), system.nickname);
        data.systemIndex.emplace(key, data.systems.size());
        data.systems.push_back(std::move(system));
        systemFiles.push_back(keyValue(*universe, section, "file"));
    }
    for (const auto& section : universe->sections()) {
        if (!named(*universe, section, "Base")) {
            continue;
        }
        Base base{keyValue(*universe, section, "nickname"), {}, kNone, kNone};
        const std::string key = lowerText(base.nickname);
        if (base.nickname.empty() || data.baseIndex.contains(key)) {
            continue;
        }
        base.name = gameName(names, keyValue(*universe, section, "strid_name"), base.nickname);
        if (const auto found =
                data.systemIndex.find(lowerText(keyValue(*universe, section, "system")));
            found != data.systemIndex.end()) {
            base.system = found->second;
        }
        data.baseIndex.emplace(key, data.bases.size());
        data.bases.push_back(std::move(base));
    }
    for (std::size_t system = 0; system < data.systems.size(); ++system) {
        if (systemFiles[system].empty()) {
            data.problems.push_back("UNIVERSE/universe.ini: the system " +
                                    data.systems[system].nickname + " names no file");
            continue;
        }
        readSystemObjects(data, dataDir, system, systemFiles[system]);
    }
}

void readMarkets(TradeData& data, const std::string& dataDir) {
    const auto markets =
        readOrNote(data, dataDir, "EQUIPMENT/market_commodities.ini", "no markets, no routes");
    if (!markets) {
        return;
    }
    for (const auto& section : markets->sections()) {
        if (!named(*markets, section, "BaseGood")) {
            continue;
        }
        const auto base = data.baseIndex.find(lowerText(keyValue(*markets, section, "base")));
        if (base == data.baseIndex.end()) {
            continue;
        }
        for (std::size_t k = section.firstKey; k < section.firstKey + section.keyCount; ++k) {
            const auto& key = markets->keys()[k];
            if (!equalsIgnoringCase(markets->name(key), "MarketGood")) {
                continue;
            }
            const std::string value = markets->value(key);
            const auto parsed = parseMarketGood(value);
            if (!parsed) {
                continue;
            }
            const auto commodity = data.commodityIndex.find(lowerText(parsed->good));
            if (commodity == data.commodityIndex.end()) {
                continue; // equipment and ships are traded there too
            }
            data.markets.push_back({base->second, commodity->second, parsed->minStock,
                                    parsed->maxStock, value, parsed->multiplierText,
                                    parsed->multiplier});
        }
    }
}

void readCruiseSpeed(TradeData& data, const std::string& dataDir) {
    const auto constants = readOrNote(data, dataDir, "constants.ini", "cruise speed taken as 300");
    const auto* section = constants ? constants->findSection("EngineEquipConsts") : nullptr;
    if (!section) {
        return;
    }
    if (const auto speed = readNumber(keyValue(*constants, *section, "CRUISING_SPEED"));
        speed && *speed > 0) {
        data.cruiseSpeed = *speed;
    }
}

} // namespace

std::string lowerText(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = lowerAscii(c);
    }
    return lower;
}

bool sourcesChanged(const TradeData& data) {
    for (const auto& [path, stamp] : data.sources) {
        if (FileStamp::of(path) != stamp) {
            return true;
        }
    }
    return false;
}

TradeData readTradeData(const std::string& dataDir, const NameLookup& names) {
    TradeData data;
    readCommodities(data, dataDir, names);
    readUniverse(data, dataDir, names);
    readMarkets(data, dataDir);
    readCruiseSpeed(data, dataDir);
    return data;
}

} // namespace skarvel::trade
