#include "TradeUniverseGenerator.h"

#include "gamedata/NicknameHash.h"
#include "support/TestFiles.h"

#include <random>
#include <string>

namespace skarvel::bench {

namespace {

namespace fs = std::filesystem;

constexpr int kSystems = 100, kBasesPerSystem = 10, kCommodities = 60, kRings = 12;

// A base of asteroid miners: NPCs moor there, players cannot dock.
constexpr const char* kMinerArch = "\r\n[Solar]\r\nnickname = miner\r\n"
                                   "docking_sphere = moor_medium, HpMoor01, 60\r\n";

void write(const fs::path& path, const std::string& text) {
    test::writeBytes(path, text);
}

std::string position(double x, double y, double z) {
    return "pos = " + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(z) +
           "\r\n";
}

constexpr const char* kSolarArch = "[Solar]\r\nnickname = station\r\n"
                                   "docking_sphere = berth, HpDockMountA, 50\r\n\r\n"
                                   "[Solar]\r\nnickname = jumpgate\r\n"
                                   "docking_sphere = jump, HpDockMountA, 20\r\n";

} // namespace

void generateCrowdedSystem(const fs::path& data, int bases, int lanes, int ringsPerLane) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coordinate(-200000, 200000);
    std::string goods, markets,
        universe = "[system]\r\nnickname = crowded\r\nfile = systems\\crowded.ini\r\n\r\n";
    for (int c = 0; c < 4; ++c) {
        goods += "[Good]\r\nnickname = good_" + std::to_string(c) +
                 "\r\ncategory = commodity\r\nprice = " + std::to_string(100 + 50 * c) + "\r\n\r\n";
    }
    std::string objects;
    for (int lane = 0; lane < lanes; ++lane) {
        for (int r = 0; r < ringsPerLane; ++r) {
            const std::string ring = "ring_" + std::to_string(lane) + "_";
            objects +=
                "[Object]\r\nnickname = " + ring + std::to_string(r) + "\r\n" +
                position(-200000 + 400000.0 * r / ringsPerLane, 0, 20000.0 * lane) +
                (r + 1 < ringsPerLane ? "next_ring = " + ring + std::to_string(r + 1) + "\r\n"
                                      : std::string()) +
                "\r\n";
        }
    }
    for (int b = 0; b < bases; ++b) {
        const std::string base = "base_" + std::to_string(b);
        universe += "[Base]\r\nnickname = " + base + "\r\nsystem = crowded\r\n\r\n";
        objects += "[Object]\r\nnickname = obj_" + base + "\r\n" +
                   position(coordinate(random), coordinate(random) / 10, coordinate(random)) +
                   "archetype = station\r\nbase = " + base + "\r\n\r\n";
        markets += "[BaseGood]\r\nbase = " + base + "\r\n";
        for (int c = 0; c < 2; ++c) {
            markets += "MarketGood = good_" + std::to_string(random() % 4) + ", 0, -1, " +
                       (random() % 2 == 0 ? "100, 500" : "0, 0") + ", 0, " +
                       std::to_string(0.5 + static_cast<double>(random() % 100) / 100) + "\r\n";
        }
        markets += "\r\n";
    }
    write(data / "UNIVERSE/SYSTEMS/crowded.ini", objects);
    write(data / "EQUIPMENT/goods.ini", goods);
    write(data / "EQUIPMENT/select_equip.ini", "");
    write(data / "EQUIPMENT/market_commodities.ini", markets);
    write(data / "UNIVERSE/universe.ini", universe);
    write(data / "SOLAR/solararch.ini", kSolarArch);
    write(data / "constants.ini", "[EngineEquipConsts]\r\nCRUISING_SPEED = 300\r\n");
}

void generateTradeUniverse(const fs::path& data, TradeUniverseShape shape) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-80000, 80000);
    std::string goods, select, markets, universe, locked;
    for (int c = 0; c < kCommodities; ++c) {
        const std::string name = "commodity_" + std::to_string(c);
        goods += "[Good]\r\nnickname = " + name +
                 "\r\ncategory = commodity\r\nprice = " + std::to_string(20 + 37 * c) + "\r\n\r\n";
        select += "[Commodity]\r\nnickname = " + name +
                  "\r\nids_name = " + std::to_string(260000 + c) +
                  "\r\nvolume = " + std::to_string(1 + c % 3) + "\r\n\r\n";
    }
    for (int s = 0; s < kSystems; ++s) {
        const std::string system = "sys" + std::to_string(s);
        universe += "[system]\r\nnickname = " + system + "\r\nfile = systems\\" + system + "\\" +
                    system + ".ini\r\n\r\n";
        std::string objects;
        // Gates to the next system and to one ten further on, both ways.
        for (const int step : {1, 10}) {
            for (const int other : {(s + step) % kSystems, (s + kSystems - step) % kSystems}) {
                const std::string gate = "gate_" + std::to_string(s) + "_" + std::to_string(other);
                if (step == 10 && shape.lockShortcutGates) {
                    locked += "locked_gate = " + std::to_string(nicknameHash(gate)) + "\r\n";
                }
                objects += "[Object]\r\nnickname = " + gate + "\r\n" +
                           position(coordinate(random), 0, coordinate(random)) +
                           "archetype = jumpgate\r\ngoto = sys" + std::to_string(other) +
                           ", gate_" + std::to_string(other) + "_" + std::to_string(s) +
                           ", gate_tunnel\r\n\r\n";
            }
        }
        for (int r = 0; r < kRings; ++r) {
            objects += "[Object]\r\nnickname = ring_" + std::to_string(s) + "_" +
                       std::to_string(r) + "\r\n" + position(-70000 + 12000.0 * r, 0, 0) +
                       (r + 1 < kRings ? "next_ring = ring_" + std::to_string(s) + "_" +
                                             std::to_string(r + 1) + "\r\n"
                                       : std::string()) +
                       "\r\n";
        }
        for (int b = 0; b < kBasesPerSystem; ++b) {
            const std::string base = "base_" + std::to_string(s) + "_" + std::to_string(b);
            universe += "[Base]\r\nnickname = " + base + "\r\nsystem = " + system + "\r\n\r\n";
            const bool npcOnly = shape.npcOnlyEvery > 0 && b % shape.npcOnlyEvery == 0;
            objects += "[Object]\r\nnickname = obj_" + base + "\r\n" +
                       position(coordinate(random), coordinate(random) / 10, coordinate(random)) +
                       "archetype = " + (npcOnly ? "miner" : "station") + "\r\nbase = " + base +
                       "\r\n\r\n";
            markets += "[BaseGood]\r\nbase = " + base + "\r\n";
            for (int k = 0; k < 15; ++k) {
                const int c = static_cast<int>(random() % kCommodities);
                const bool sells = random() % 2 == 0;
                const double multiplier = 0.5 + static_cast<double>(random() % 100) / 100;
                markets += "MarketGood = commodity_" + std::to_string(c) + ", 0, -1, " +
                           (sells ? "100, 500" : "0, 0") + ", 0, " +
                           std::to_string(npcOnly ? (sells ? 0.05 : 5.0) : multiplier) + "\r\n";
            }
            markets += "\r\n";
        }
        write(data / "UNIVERSE/SYSTEMS" / system / (system + ".ini"), objects);
    }
    write(data / "SOLAR/solararch.ini",
          std::string(kSolarArch) + (shape.npcOnlyEvery > 0 ? kMinerArch : ""));
    if (!locked.empty()) {
        write(data / "initialworld.ini", "[locked_gates]\r\n" + locked);
    }
    write(data / "EQUIPMENT/goods.ini", goods);
    write(data / "EQUIPMENT/select_equip.ini", select);
    write(data / "EQUIPMENT/market_commodities.ini", markets);
    write(data / "UNIVERSE/universe.ini", universe);
    write(data / "constants.ini", "[EngineEquipConsts]\r\nCRUISING_SPEED = 300\r\n");
}

} // namespace skarvel::bench
