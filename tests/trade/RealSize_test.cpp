#include "TradeUniverseGenerator.h"
#include "support/TestFiles.h"
#include "trade/Calculator.h"

#include <gtest/gtest.h>

namespace skarvel::trade {
namespace {

// A universe of real size (100 systems, 1,000 bases) in which every fourth base is an NPC-only
// miner with the best prices of all and the shortcut gates are locked by the story: the routes
// a pilot is shown buy and sell where a player can dock and fly through open gates only.
TEST(TradeCalculator, ARealSizeUniverseTradesWherePlayersDockThroughOpenGates) {
    const test::TempDir dir;
    bench::generateTradeUniverse(dir.path() / "DATA",
                                 {.npcOnlyEvery = 4, .lockShortcutGates = true});
    Calculator calc(readTradeData(dir.folder() + "DATA/", {}));
    const TradeData& data = calc.data();
    ASSERT_EQ(data.bases.size(), 1000u);
    const auto playerDocks = [&](std::size_t market) {
        return data.bases[data.markets[market].base].docking == Docking::Player;
    };

    std::size_t npcUndercuts = 0;
    for (std::size_t c = 0; c < data.commodities.size(); ++c) {
        const CommodityRow row = calc.commodityRow(c);
        for (const std::size_t base : {row.cheapestBase, row.dearestBase}) {
            if (base != kNone) {
                EXPECT_EQ(data.bases[base].docking, Docking::Player) << data.bases[base].nickname;
            }
        }
        for (const std::size_t market : calc.marketsOf(c)) {
            npcUndercuts += !playerDocks(market) && calc.sells(market) &&
                            calc.price(market) < row.cheapestPrice;
        }
    }
    EXPECT_GT(npcUndercuts, 0u) << "the miners must offer what no player base does";

    for (const bool storyGatesOpen : {false, true}) {
        SCOPED_TRACE(storyGatesOpen ? "story gates open" : "story gates locked");
        calc.setSettings({.storyGatesOpen = storyGatesOpen});
        for (const RouteOrder order : {RouteOrder::OneWay, RouteOrder::RoundTrip}) {
            const std::vector<Route> routes = calc.routes({100, kNone, kNone, 20, {0, 5}, order});
            ASSERT_EQ(routes.size(), 20u);
            std::size_t lockedJumps = 0;
            for (const Route& route : routes) {
                EXPECT_TRUE(playerDocks(route.buyMarket));
                EXPECT_TRUE(playerDocks(route.sellMarket));
                for (const Leg& leg : route.legs) {
                    lockedJumps += leg.kind == Leg::Jump && data.objects[leg.from].locked;
                }
            }
            if (!storyGatesOpen) {
                EXPECT_EQ(lockedJumps, 0u);
            }
        }
    }
}

} // namespace
} // namespace skarvel::trade
