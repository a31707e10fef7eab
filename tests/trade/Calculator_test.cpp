#include "support/TestFiles.h"
#include "trade/Calculator.h"
#include "trade/PriceRules.h"
#include "trade/RouteText.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace skarvel::trade {
namespace {

// The test universe (tests/data/game-trade), with the ship of the tests: cruise 300 m/s
// (CRUISING_SPEED), a charge of 5 s before each cruise; the default settings: lanes 2,250 m/s,
// 5 s lane entry, 15 s per jump, 10 s docking, 5 s undocking. base_c1 has mooring points only
// (NPCs); base_c2 is docked through dock_with only, behind the hole a_to_c_hole that
// initialworld.ini locks by its hash; base_a2's dock is its ring at 24 km, not the planet at
// 30 km. Worked by hand (undock + each charge and flight + lane entry and ride + jump + dock):
//   a1 -> a3: 5 + (5 + 3000/300) + (5 + 84000/2250) + (5 + 3000/300) + 10 = 87.333 s by the
//             lane a_lane_1-a_lane_4 (direct: 5 + 5 + 90000/300 + 10 = 320)
//   b1 -> a1: 5 + (5 + 15000/300) + 15 + (5 + 60000/300) + 10 = 290 s through the gate
//   a1 -> b1: the same way back, 290 s
//   a3 -> a1: the lane the other way, 87.333 s
// With the story's gates open:
//   a1 -> c2: 5 + (5 + 30000/300) + 15 + (5 + 6000/300) + 10 = 160 s through the hole
//   a2 -> c2: 5 + (5 + 54000/300) + 15 + (5 + 6000/300) + 10 = 240 s from the ring
// Prices: food 100 (a1 0.8 -> 80 sells; a3 1.6 -> 160, b1 1.9 -> 190, c2 1.15 -> 115 buy),
// commodity_ore 40, volume 2 (a2 0.5 -> 20 sells; c1 2 -> 80, c2 1.5 -> 60), gold 1000 (b1 1.05 ->
// 1050 sells; a1 1.2 -> 1200, c1 1.1 -> 1100), water 10 (c1 1 -> 10 sells; a2 3.33 -> 33, c2 0.9
// -> 9). A hold of 100 takes 100 food, gold or water, 50 commodity_ore.
// Round trips: a1 -> b1 food 11,000 and back gold 15,000 in 580 s: 2,689.655 a minute; a1 -> a3
// food 8,000, nothing back, in 174.667 s: 2,748.092.
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
    std::string path = {};
};

constexpr ShipTravel kShip{0, 5}; // the game's cruise speed, 5 s to charge

RouteQuery query(double hold, std::size_t limit = 200, RouteOrder order = RouteOrder::OneWay) {
    return {hold, kNone, kNone, limit, kShip, order};
}

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
        if (!expected[i].path.empty()) {
            EXPECT_EQ(pathText(calc.data(), routes[i].legs), expected[i].path);
        }
    }
}

TEST(TradeCalculator, RoutesOfTheTestUniverseAreTheHandWorkedOnes) {
    Calculator calc(readTestUniverse(kGame));
    EXPECT_EQ(calc.data().problems, std::vector<std::string>{});
    const std::string lane = "sys_a (lane a_lane_1\u2013a_lane_4)";
    const std::string gate = "sys_b \u2192 gate \u2192 sys_a",
                      back = "sys_a \u2192 gate \u2192 sys_b";
    expectRoutes(calc, query(100),
                 {{"base_a1>base_a3 commodity_food", 80, 100, 8000, 87.3333, 5496.183, 0, lane},
                  {"base_b1>base_a1 commodity_gold", 150, 100, 15000, 290, 3103.448, 1, gate},
                  {"base_a1>base_b1 commodity_food", 110, 100, 11000, 290, 2275.862, 1, back}});
    // From one system only; a hold of 25 takes 25 gold.
    RouteQuery fromBeta = query(25);
    fromBeta.startSystem = calc.data().systemIndex.at("sys_b");
    expectRoutes(calc, fromBeta,
                 {{"base_b1>base_a1 commodity_gold", 150, 25, 3750, 290, 775.862, 1}});
    // The story's gates open: the hole leads to base_c2.
    calc.setSettings({.storyGatesOpen = true});
    expectRoutes(calc, query(100),
                 {{"base_a1>base_a3 commodity_food", 80, 100, 8000, 87.3333, 5496.183, 0},
                  {"base_b1>base_a1 commodity_gold", 150, 100, 15000, 290, 3103.448, 1},
                  {"base_a1>base_b1 commodity_food", 110, 100, 11000, 290, 2275.862, 1},
                  {"base_a1>base_c2 commodity_food", 35, 100, 3500, 160, 1312.5, 1,
                   "sys_a \u2192 hole \u2192 sys_c"},
                  {"base_a2>base_c2 commodity_ore", 40, 50, 2000, 240, 500, 1}});
}

TEST(TradeCalculator, RoundTripsTakeTheBestCargoBack) {
    const Calculator calc(readTestUniverse(kGame));
    const std::vector<Route> loops = calc.routes(query(100, 200, RouteOrder::RoundTrip));
    struct Loop {
        std::string route, back;
        std::int64_t backPerHold;
        double seconds, perMinute;
    };
    const std::vector<Loop> expected = {
        {"base_a1>base_a3 commodity_food", "", 0, 174.6667, 2748.092},
        {"base_b1>base_a1 commodity_gold", "commodity_food", 11000, 580, 2689.655},
        {"base_a1>base_b1 commodity_food", "commodity_gold", 15000, 580, 2689.655}};
    ASSERT_EQ(loops.size(), expected.size());
    for (std::size_t i = 0; i < loops.size(); ++i) {
        SCOPED_TRACE(expected[i].route);
        EXPECT_EQ(describe(calc, loops[i]), expected[i].route);
        const std::size_t back = loops[i].backBuyMarket;
        EXPECT_EQ(back == kNone
                      ? ""
                      : calc.data().commodities[calc.data().markets[back].commodity].nickname,
                  expected[i].back);
        EXPECT_EQ(loops[i].backProfitPerHold, expected[i].backPerHold);
        EXPECT_NEAR(loops[i].loopSeconds, expected[i].seconds, 1e-3);
        EXPECT_NEAR(loops[i].loopProfitPerMinute, expected[i].perMinute, 1e-3);
    }
    // The one-way table names the same loop.
    EXPECT_NEAR(calc.routes(query(100))[1].loopProfitPerMinute, 2689.655, 1e-3);
}

TEST(TradeCalculator, WhyABaseIsInNoRoute) {
    Calculator calc(readTestUniverse(kGame));
    const TradeData& data = calc.data();
    const auto reach = [&](const char* base) { return calc.reach(data.baseIndex.at(base)); };
    EXPECT_EQ(reach("base_a1"), Reach::Open);
    EXPECT_EQ(reach("base_a2"), Reach::Open); // its ring, through dock_with
    EXPECT_EQ(reach("base_c1"), Reach::NpcOnly);
    EXPECT_EQ(reach("base_c2"), Reach::BehindLockedGate);
    EXPECT_EQ(data.objects[data.bases[data.baseIndex.at("base_a2")].object].nickname,
              "a_02_dock_ring");
    EXPECT_EQ(data.objects[data.bases[data.baseIndex.at("base_c2")].object].nickname, "c_02_dock");
    calc.setSettings({.storyGatesOpen = true});
    EXPECT_EQ(reach("base_c2"), Reach::Open);
    EXPECT_EQ(reach("base_c1"), Reach::NpcOnly);
    EXPECT_EQ(baseLabel(data, data.baseIndex.at("base_b1")), "Beta Base, sys_b");
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
    for (const Row& row :
         std::vector<Row>{{"commodity_food", "Food Rations", 1, "base_a1", "base_b1", 110, 110},
                          {"commodity_ore", "commodity_ore", 2, "base_a2", "base_c2", 40, 20},
                          {"commodity_gold", "commodity_gold", 1, "base_b1", "base_a1", 150, 150},
                          {"commodity_water", "commodity_water", 1, "", "base_a2", 0, 0}}) {
        SCOPED_TRACE(row.commodity);
        const std::size_t c = data.commodityIndex.at(row.commodity);
        const CommodityRow result = calc.commodityRow(c);
        EXPECT_EQ(data.commodities[c].name, row.name);
        EXPECT_EQ(data.commodities[c].volume, row.volume);
        // base_c1 moors NPCs only: never the cheapest seller nor the dearest buyer.
        EXPECT_EQ(result.cheapestBase == kNone ? "" : data.bases[result.cheapestBase].nickname,
                  row.cheapest);
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
    calc.routes(query(100));
    // Gold at b1 for 1.5: 1500, dearer than anywhere else; food for 150 makes a1 sell at 120.
    ASSERT_TRUE(calc.setMultiplier(
        calc.marketsOf(calc.data().commodityIndex.at("commodity_gold"))[1], "1.5"));
    const std::size_t food = calc.data().commodityIndex.at("commodity_food");
    ASSERT_TRUE(calc.setBasePrice(food, "150"));
    EXPECT_FALSE(calc.setBasePrice(food, "cheap"));
    EXPECT_FALSE(calc.setBasePrice(food, "1e308"));
    EXPECT_FALSE(calc.setMultiplier(0, "1e308"));
    EXPECT_FALSE(calc.setMultiplier(0, "nan"));
    expectRoutes(calc, query(100, 2),
                 {{"base_a1>base_a3 commodity_food", 120, 100, 12000, 87.3333, 8244.275, 0},
                  {"base_a1>base_b1 commodity_food", 165, 100, 16500, 290, 3413.793, 1}});
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
    std::filesystem::remove(tmp.path() / "DATA/UNIVERSE/SYSTEMS/beta/beta.ini");
    const Calculator calc(readTestUniverse(tmp.path()));
    EXPECT_EQ(calc.data().problems,
              std::vector<std::string>{"DATA/UNIVERSE/SYSTEMS/beta/BETA.INI is missing - its "
                                       "bases and gates are left out of the routes"});
    expectRoutes(calc, query(100),
                 {{"base_a1>base_a3 commodity_food", 80, 100, 8000, 87.3333, 5496.183, 0}});
}

// Crafted files: each refused value is noted and left out, nothing else is lost.
TEST(TradeCalculator, HostileValuesAreRefusedAndNoted) {
    struct Case {
        std::string file, from, to, problem;
        std::size_t routes;
    };
    const std::vector<Case> cases = {
        {"DATA/UNIVERSE/SYSTEMS/ALPHA/alpha.ini", "pos = 0, 0, 90000", "pos = nan, 0, inf",
         "systems\\Alpha\\alpha.ini: the position nan, 0, inf of a_03_outpost is refused (not "
         "three numbers within 1e9) - left out",
         2},
        {"DATA/EQUIPMENT/market_commodities.ini", "1, 1.6", "1, 1e300",
         "market_commodities.ini: the multiplier 1e300 of commodity_food at base_a3 is out of "
         "range (0 to 1000) - left out",
         2},
        {"DATA/EQUIPMENT/Select_Equip.ini", "volume = 2.000000", "volume = 1e-300",
         "select_equip.ini: the volume 1e-300 of commodity_ore is out of range (0.001 to "
         "1000000) - taken as 1",
         3},
        {"DATA/UNIVERSE/universe.ini", "file = systems\\beta\\BETA.INI",
         "file = ..\\..\\..\\beta.ini",
         "data/UNIVERSE/../../../beta.ini names a file outside the game folder - its bases and "
         "gates are left "
         "out of the routes",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + ": " + c.to);
        test::TempDir tmp;
        test::copyFixture("game-trade/game", tmp.path());
        std::string bytes = test::readBytes(tmp.path() / c.file);
        ASSERT_NE(bytes.find(c.from), std::string::npos);
        bytes.replace(bytes.find(c.from), c.from.size(), c.to);
        test::writeBytes(tmp.path() / c.file, bytes);
        test::writeBytes(tmp.path().parent_path() / "beta.ini", "[Object]\nnickname = x\n");
        const Calculator calc(readTestUniverse(tmp.path()));
        EXPECT_EQ(calc.data().problems, std::vector<std::string>{c.problem});
        EXPECT_EQ(calc.routes(query(100)).size(), c.routes);
    }
}

} // namespace
} // namespace skarvel::trade
