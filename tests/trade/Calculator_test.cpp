#include "support/TestFiles.h"
#include "trade/Calculator.h"
#include "trade/PriceRules.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace skarvel::trade {
namespace {

// The test universe (tests/data/game-trade): cruise 300 m/s, lanes 2,250 m/s, 10 s docking,
// 15 s per jump. Worked by hand:
//   a1 -> a3: 3000/300 + 84000/2250 + 3000/300 = 57.333 s by the lane, + 10 = 67.333
//   b1 -> a1: 15000/300 + 15 + 60000/300 = 265 s, + 10 = 275 (one jump, the gate)
//   a1 -> b1: the same way back, 275
//   a1 -> c2: 30000/300 + 15 + 6000/300 = 135 s, + 10 = 145 (the hole)
//   b1 -> c1: 50 + 15 + 90000/300 + 15 + 30000/300 = 480 s, + 10 = 490 (two jumps)
//   a2 -> c1: 60000/300 + 15 + 100 = 315 s, + 10 = 325; c1 -> a2 the same
//   a2 -> c2: 200 + 15 + 20 = 235 s, + 10 = 245
// Prices: food 100 (a1 0.8 -> 80 sells; a3 1.6 -> 160, b1 1.9 -> 190, c2 1.15 -> 115 buy),
// commodity_ore 40, volume 2 (a2 0.5 -> 20 sells; c1 2 -> 80, c2 1.5 -> 60), gold 1000 (b1 1.05 ->
// 1050 sells; a1 1.2 -> 1200, c1 1.1 -> 1100), water 10 (c1 1 -> 10 sells; a2 3.33 -> 33, c2 0.9
// -> 9). A hold of 100 takes 100 food, gold or water, 50 commodity_ore.
TradeData readTestUniverse(const std::filesystem::path& game) {
    const std::map<std::string, std::string> names = {{"261001", "Food Rations"},
                                                      {"196613", "Beta Base"}};
    return readTradeData(game.string() + "/data/", [&](std::string_view id) {
        const auto found = names.find(std::string(id));
        return found == names.end() ? std::string() : found->second;
    });
}

const std::filesystem::path kGame = test::fixturePath("game-trade/game");

std::string describe(const Calculator& calc, const Route& route) {
    const TradeData& data = calc.data();
    return data.bases[data.markets[route.buyMarket].base].nickname + ">" +
           data.bases[data.markets[route.sellMarket].base].nickname + " " +
           data.commodities[route.commodity].nickname;
}

struct RouteCase {
    std::string route;
    std::int64_t perUnit, units, perHold;
    double seconds, perMinute;
    int jumps;
};

void expectRoutes(const Calculator& calc, const RouteQuery& query,
                  const std::vector<RouteCase>& expected) {
    const std::vector<Route> routes = calc.routes(query);
    ASSERT_EQ(routes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].route);
        EXPECT_EQ(describe(calc, routes[i]), expected[i].route);
        EXPECT_EQ(routes[i].profitPerUnit, expected[i].perUnit);
        EXPECT_EQ(routes[i].units, expected[i].units);
        EXPECT_EQ(routes[i].profitPerHold, expected[i].perHold);
        EXPECT_NEAR(routes[i].seconds, expected[i].seconds, 1e-3);
        EXPECT_NEAR(routes[i].profitPerMinute, expected[i].perMinute, 1e-3);
        EXPECT_EQ(routes[i].jumps, expected[i].jumps);
    }
}

TEST(TradeCalculator, RoutesOfTheTestUniverseAreTheHandWorkedOnes) {
    const Calculator calc(readTestUniverse(kGame));
    EXPECT_TRUE(calc.data().problems.empty());
    expectRoutes(calc, {100},
                 {{"base_a1>base_a3 commodity_food", 80, 100, 8000, 67.3333, 7128.713, 0},
                  {"base_b1>base_a1 commodity_gold", 150, 100, 15000, 275, 3272.727, 1},
                  {"base_a1>base_b1 commodity_food", 110, 100, 11000, 275, 2400, 1},
                  {"base_a1>base_c2 commodity_food", 35, 100, 3500, 145, 1448.276, 1},
                  {"base_b1>base_c1 commodity_gold", 50, 100, 5000, 490, 612.245, 2},
                  {"base_a2>base_c1 commodity_ore", 60, 50, 3000, 325, 553.846, 1},
                  {"base_a2>base_c2 commodity_ore", 40, 50, 2000, 245, 489.796, 1},
                  {"base_c1>base_a2 commodity_water", 23, 100, 2300, 325, 424.615, 1}});
    // From one system only; a hold of 25 takes 25 gold.
    expectRoutes(calc, {25, calc.data().systemIndex.at("sys_b")},
                 {{"base_b1>base_a1 commodity_gold", 150, 25, 3750, 275, 818.182, 1},
                  {"base_b1>base_c1 commodity_gold", 50, 25, 1250, 490, 153.061, 2}});
}

TEST(TradeCalculator, CommodityRowsNamesAndMarkets) {
    const Calculator calc(readTestUniverse(kGame));
    const TradeData& data = calc.data();
    struct Row {
        std::string commodity, name;
        double volume;
        std::string cheapest, dearest;
        std::int64_t margin;
        double perVolume;
    };
    for (const Row& row : std::vector<Row>{
             {"commodity_food", "Food Rations", 1, "base_a1", "base_b1", 110, 110},
             {"commodity_ore", "commodity_ore", 2, "base_a2", "base_c1", 60, 30},
             {"commodity_gold", "commodity_gold", 1, "base_b1", "base_a1", 150, 150},
             {"commodity_water", "commodity_water", 1, "base_c1", "base_a2", 23, 23}}) {
        SCOPED_TRACE(row.commodity);
        const std::size_t c = data.commodityIndex.at(row.commodity);
        const CommodityRow result = calc.commodityRow(c);
        EXPECT_EQ(data.commodities[c].name, row.name);
        EXPECT_EQ(data.commodities[c].volume, row.volume);
        EXPECT_EQ(data.bases[result.cheapestBase].nickname, row.cheapest);
        EXPECT_EQ(data.bases[result.dearestBase].nickname, row.dearest);
        EXPECT_EQ(result.margin, row.margin);
        EXPECT_EQ(result.marginPerVolume, row.perVolume);
    }
    // The gun line is no commodity, the commented gold line no market.
    EXPECT_EQ(data.markets.size(), 13U);
    EXPECT_EQ(data.bases[data.baseIndex.at("base_b1")].name, "Beta Base");
    EXPECT_EQ(data.cruiseSpeed, 300);
}

TEST(TradeCalculator, PriceRules) {
    struct Case {
        double price, multiplier;
        std::int64_t expected;
    };
    for (const Case& c : std::vector<Case>{{100, 1.15, 115}, // 114.99999999999999 in binary
                                           {1000, 1.1, 1100},
                                           {10, 3.33, 33},
                                           {99, 0.5, 49},
                                           {7, 0, 0}}) {
        EXPECT_EQ(priceAt(c.price, c.multiplier), c.expected) << c.price << " x " << c.multiplier;
    }
    EXPECT_TRUE(baseSells(1, 1));
    EXPECT_FALSE(baseSells(0, 500));
    EXPECT_FALSE(baseSells(150, 0));
    EXPECT_FALSE(parseMarketGood("commodity_food, 0, -1, 150, 500, 0"));
    EXPECT_EQ(withLastField("commodity_food, 0, -1, 0, 0, 1,  1.6 ", "2"),
              "commodity_food, 0, -1, 0, 0, 1,  2 ");
}

TEST(TradeCalculator, AnEditChangesRoutesAtOnceAndIsListed) {
    Calculator calc(readTestUniverse(kGame));
    calc.routes({100});
    // Gold at b1 for 1.5: 1500, dearer than anywhere else; food for 150 makes a1 sell at 120.
    ASSERT_TRUE(calc.setMultiplier(
        calc.marketsOf(calc.data().commodityIndex.at("commodity_gold"))[1], "1.5"));
    const std::size_t food = calc.data().commodityIndex.at("commodity_food");
    ASSERT_TRUE(calc.setBasePrice(food, "150"));
    EXPECT_FALSE(calc.setBasePrice(food, "cheap"));
    expectRoutes(calc, {100, kNone, kNone, 2},
                 {{"base_a1>base_a3 commodity_food", 120, 100, 12000, 67.3333, 10693.069, 0},
                  {"base_a1>base_b1 commodity_food", 165, 100, 16500, 275, 3600, 1}});
    const std::vector<PriceEdit> edits = calc.edits();
    ASSERT_EQ(edits.size(), 2U);
    EXPECT_EQ(edits[0].loaded, "100");
    EXPECT_EQ(edits[0].value, "150");
    EXPECT_EQ(edits[1].loaded, "commodity_gold, 0, -1, 5, 50, 0, 1.05");
    EXPECT_EQ(edits[1].value, "commodity_gold, 0, -1, 5, 50, 0, 1.5");
}

TEST(TradeCalculator, AMissingSystemFileLeavesOutOnlyItsBases) {
    test::TempDir tmp;
    test::copyFixture("game-trade/game", tmp.path());
    std::filesystem::remove(tmp.path() / "DATA/UNIVERSE/SYSTEMS/gamma/Gamma.ini");
    const Calculator calc(readTestUniverse(tmp.path()));
    ASSERT_EQ(calc.data().problems.size(), 1U);
    EXPECT_EQ(calc.data().problems[0], "UNIVERSE/systems/gamma/gamma.ini: the file is missing - "
                                       "its bases and gates are left out of the routes");
    expectRoutes(calc, {100, kNone, kNone, 3},
                 {{"base_a1>base_a3 commodity_food", 80, 100, 8000, 67.3333, 7128.713, 0},
                  {"base_b1>base_a1 commodity_gold", 150, 100, 15000, 275, 3272.727, 1},
                  {"base_a1>base_b1 commodity_food", 110, 100, 11000, 275, 2400, 1}});
}

} // namespace
} // namespace skarvel::trade
