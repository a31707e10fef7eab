#pragma once

#include "platform/FileStamp.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace skarvel::trade {

inline constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// What numbers from files and typing may be before any arithmetic: beyond them a value is
// refused (the game's credits are 32-bit; systems span a few hundred kilometres).
inline constexpr double kMaxBasePrice = 2147483647;
inline constexpr double kMaxMultiplier = 1000;
inline constexpr double kMinVolume = 0.001, kMaxVolume = 1e6;
inline constexpr double kMaxCoordinate = 1e9;

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

// Whether a player can trade at a base, from its dock object's docking spheres.
enum class Docking {
    Player,  // a berth, ring or jump docking sphere
    NpcOnly, // mooring points only
    NoDock   // no dock object, or one without docking spheres
};

struct Base {
    std::string nickname;
    std::string name;
    std::size_t system = kNone;
    std::size_t object = kNone; // its dock object in TradeData::objects
    Docking docking = Docking::NoDock;
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

enum class Portal { None, Gate, Hole };

struct SpaceObject {
    std::string nickname;
    std::size_t system = kNone;
    double x = 0, y = 0, z = 0;
    std::string archetype;
    std::string gotoSystem, gotoObject; // a jump gate or hole
    std::string nextRing, prevRing;     // a trade lane ring
    Portal portal = Portal::None;
    bool locked = false; // listed in initialworld.ini [locked_gates]
};

// What the calculator reads from the game's files; problems say which file was missing or
// broken, or which value was refused, and what that leaves out.
struct TradeData {
    std::vector<Commodity> commodities;
    std::vector<StarSystem> systems;
    std::vector<Base> bases;
    std::vector<Market> markets;
    std::vector<SpaceObject> objects;
    double cruiseSpeed = 300; // constants.ini CRUISING_SPEED
    // Lower-case nicknames of the goods any market sells (ship packages among them).
    std::unordered_set<std::string> goodsSold;
    std::vector<std::string> problems;
    // Every file read (or looked for), as it was then: a change calls for a new reading.
    std::vector<std::pair<std::string, std::optional<FileStamp>>> sources;

    // Lower-case nickname -> index.
    std::unordered_map<std::string, std::size_t> commodityIndex, baseIndex, systemIndex;
};

// The game's name of an ids_name or strid_name value; empty when it has none.
using NameLookup = std::function<std::string(std::string_view id)>;

// Reads the trade files of the game folder whose data folder is dataDir (letter case ignored
// in every path, each path kept inside the game folder), compressed ones converted in
// memory. Nothing is written; it may run off the window's thread.
TradeData readTradeData(const std::string& dataDir, const NameLookup& names);

// Whether any file of the reading has changed, appeared or gone since.
bool sourcesChanged(const TradeData& data);

std::string lowerText(std::string_view text);

// "<file> <refusal> - <what that leaves out>", or the note of a refused value.
void note(TradeData& data, std::string text);

} // namespace skarvel::trade
