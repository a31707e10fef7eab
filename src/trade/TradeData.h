#pragma once

#include "platform/FileStamp.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace skarvel::trade {

inline constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Commodity {
    std::string nickname;
    std::string name;      // the game's name, else the nickname
    std::string priceText; // the price key's text in goods.ini
    double price = 0;
    double volume = 1; // cargo units per item
};

struct StarSystem {
    std::string nickname;
    std::string name;
};

struct Base {
    std::string nickname;
    std::string name;
    std::size_t system = kNone;
    std::size_t object = kNone; // its dockable object in Universe::objects
};

// One MarketGood line of a [BaseGood] section.
struct Market {
    std::size_t base = kNone;
    std::size_t commodity = kNone;
    double minStock = 0;
    double maxStock = 0;
    std::string lineValue; // the line's value as read
    std::string multiplierText;
    double multiplier = 1;
};

struct SpaceObject {
    std::string nickname;
    std::size_t system = kNone;
    double x = 0, y = 0, z = 0;
    std::string gotoSystem, gotoObject; // a jump gate or hole
    std::string nextRing, prevRing;     // a trade lane ring
};

// What the calculator reads from the game's files; problems say which file was missing or
// broken and what that leaves out.
struct TradeData {
    std::vector<Commodity> commodities;
    std::vector<StarSystem> systems;
    std::vector<Base> bases;
    std::vector<Market> markets;
    std::vector<SpaceObject> objects;
    double cruiseSpeed = 300;
    std::vector<std::string> problems;
    // Every file read (or looked for), as it was then: a change calls for a new reading.
    std::vector<std::pair<std::string, std::optional<FileStamp>>> sources;

    // Lower-case nickname -> index.
    std::unordered_map<std::string, std::size_t> commodityIndex, baseIndex, systemIndex;
};

// The game's name of an ids_name or strid_name value; empty when it has none.
using NameLookup = std::function<std::string(std::string_view id)>;

// Reads the trade files below the game's data folder (letter case ignored in the path),
// compressed ones converted in memory. Nothing is written.
TradeData readTradeData(const std::string& dataDir, const NameLookup& names);

// Whether any file of the reading has changed, appeared or gone since.
bool sourcesChanged(const TradeData& data);

std::string lowerText(std::string_view text);

} // namespace skarvel::trade
