#include "trade/TradeData.h"

#include "gamedata/SectionFinder.h"
#include "platform/AsciiText.h"
#include "trade/PriceRules.h"
#include "trade/TradeReading.h"

#include <algorithm>

namespace skarvel::trade {

std::string gameName(const NameLookup& names, const std::string& id, const std::string& fallback) {
    std::string name = id.empty() || !names ? std::string() : names(id);
    return name.empty() ? fallback : name;
}

namespace {

using ini::ParsedIni;

void readCommodities(const TradeReading& reading, const NameLookup& names) {
    TradeData& data = reading.data;
    const auto goods = reading.read(reading.dataFolder, "EQUIPMENT/goods.ini", "no commodities");
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
        if (*price < 0 || *price > kMaxBasePrice) {
            note(data, "goods.ini: the price " + commodity.priceText + " of " + commodity.nickname +
                           " is out of range (0 to 2147483647) - left out");
            continue;
        }
        commodity.price = *price;
        commodity.name = commodity.nickname;
        data.commodityIndex.emplace(key, data.commodities.size());
        data.commodities.push_back(std::move(commodity));
    }
    const auto select =
        reading.read(reading.dataFolder, "EQUIPMENT/select_equip.ini", "names and volumes unknown");
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
        const std::string text = keyValue(*select, section, "volume");
        if (const auto volume = readNumber(text); volume && *volume > 0) {
            if (*volume < kMinVolume || *volume > kMaxVolume) {
                note(data, "select_equip.ini: the volume " + text + " of " + commodity.nickname +
                               " is out of range (0.001 to 1000000) - taken as 1");
            } else {
                commodity.volume = *volume;
            }
        }
    }
}

void readMarkets(const TradeReading& reading) {
    TradeData& data = reading.data;
    const auto markets = reading.read(reading.dataFolder, "EQUIPMENT/market_commodities.ini",
                                      "no markets, no routes");
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
            data.goodsSold.insert(lowerText(parsed->good));
            const auto commodity = data.commodityIndex.find(lowerText(parsed->good));
            if (commodity == data.commodityIndex.end()) {
                continue; // equipment and ships are traded there too
            }
            if (parsed->multiplier < 0 || parsed->multiplier > kMaxMultiplier) {
                note(data, "market_commodities.ini: the multiplier " + parsed->multiplierText +
                               " of " + parsed->good + " at " + data.bases[base->second].nickname +
                               " is out of range (0 to 1000) - left out");
                continue;
            }
            data.markets.push_back({base->second, commodity->second, parsed->minStock,
                                    parsed->maxStock, value, parsed->multiplierText,
                                    parsed->multiplier});
        }
    }
}

// The goods sold in the other markets files, ship packages above all: freelancer.ini's
// [Data] markets lines, else the usual market_ships.ini.
void readGoodsSold(const TradeReading& reading) {
    std::vector<std::string> files;
    if (const auto flini = reading.read("EXE", "freelancer.ini", "")) {
        for (const auto& section : flini->sections()) {
            if (named(*flini, section, "Data")) {
                for (std::string& file : keyValues(*flini, section, "markets")) {
                    files.push_back(std::move(file));
                }
            }
        }
    }
    if (files.empty()) {
        files.emplace_back("EQUIPMENT/market_ships.ini");
    }
    for (const std::string& file : files) {
        const auto markets = reading.read(reading.dataFolder, file, "ships sold there unknown");
        if (!markets) {
            continue;
        }
        for (const auto& section : markets->sections()) {
            if (!named(*markets, section, "BaseGood")) {
                continue;
            }
            for (const std::string& value : keyValues(*markets, section, "MarketGood")) {
                const std::vector<std::string> parts = fields(value);
                if (!parts.empty() && !parts[0].empty()) {
                    reading.data.goodsSold.insert(lowerText(parts[0]));
                }
            }
        }
    }
}

void readCruiseSpeed(const TradeReading& reading) {
    TradeData& data = reading.data;
    const auto constants =
        reading.read(reading.dataFolder, "constants.ini", "cruise speed taken as 300");
    const auto* section = constants ? constants->findSection("EngineEquipConsts") : nullptr;
    if (!section) {
        return;
    }
    const std::string text = keyValue(*constants, *section, "CRUISING_SPEED");
    if (const auto speed = readNumber(text); speed && *speed > 0 && *speed <= 1e6) {
        data.cruiseSpeed = *speed;
    } else if (!text.empty()) {
        note(data, "constants.ini: CRUISING_SPEED " + text + " is refused - taken as 300");
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

void note(TradeData& data, std::string text) {
    // A hostile file could refuse a million values: the first ones say enough.
    constexpr std::size_t kMostNotes = 50;
    if (data.problems.size() < kMostNotes) {
        data.problems.push_back(std::move(text));
    } else if (data.problems.size() == kMostNotes) {
        data.problems.emplace_back("... and more problems of the same kinds");
    }
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
    std::string folder = dataDir;
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    const std::size_t slash = folder.rfind('/');
    const GameFolderPaths paths(folder.substr(0, slash + 1));
    const TradeReading reading{data, paths, folder.substr(slash + 1)};
    readCommodities(reading, names);
    readUniverse(reading, names);
    readMarkets(reading);
    readGoodsSold(reading);
    readCruiseSpeed(reading);
    return data;
}

} // namespace skarvel::trade
