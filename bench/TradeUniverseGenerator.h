#pragma once

#include <filesystem>

namespace skarvel::bench {

// What a generated universe holds beside its open, dockable bases.
struct TradeUniverseShape {
    // Every n-th base of a system (0: none) is NPC only, a miner with mooring points, and has
    // the cheapest and dearest prices of the universe: a calculator that trades there is wrong.
    int npcOnlyEvery = 0;
    // The gates to the system ten further on are locked by the story (initialworld.ini).
    bool lockShortcutGates = false;
};

// A universe in the game's shape below data (a DATA folder): 100 systems of ten bases, 60
// commodities, 15 goods traded per base, a trade lane of twelve rings and four gates per
// system. The same shape always gives the same bytes.
void generateTradeUniverse(const std::filesystem::path& data, TradeUniverseShape shape = {});

// One system of bases with two goods each and lanes of rings along x, markets of four goods.
void generateCrowdedSystem(const std::filesystem::path& data, int bases, int lanes,
                           int ringsPerLane);

} // namespace skarvel::bench
