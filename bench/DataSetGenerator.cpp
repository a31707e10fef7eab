#include "DataSetGenerator.h"

#include "platform/CaseInsensitivePath.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace skarvel::bench {

namespace {

constexpr const char* kEol = "\r\n";

// Deterministic numbers without the distributions of <random>, whose results differ
// between standard libraries.
class Numbers {
public:
    explicit Numbers(std::uint64_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    int between(int low, int high) {
        return low + static_cast<int>(next() % static_cast<std::uint32_t>(high - low + 1));
    }

private:
    std::uint64_t state_;
};

struct Counts {
    int ships;
    int buyableShips; // ships with a hull and a package good
    int otherGoods;   // commodities and equipment
};

Counts countsOf(DataSetSize size) {
    switch (size) {
    case DataSetSize::Demo:
        return {8, 8, 2}; // as in resources/demo-game
    case DataSetSize::Mid:
        return {300, 300, 100};
    case DataSetSize::Large:
        break;
    }
    return {1500, 1000, 500};
}

constexpr const char* kFactions[] = {"li", "br", "ku", "rh", "pi", "bw", "co", "ge"};
constexpr const char* kModels[] = {"fighter",   "elite",   "freighter", "vheavy",
                                   "starflier", "gunboat", "scout",     "bomber"};
constexpr const char* kCommodities[] = {"gold",  "diamonds",        "h_fuel", "ox",
                                        "water", "alien_organisms", "boron",  "engine_components",
                                        "food",  "silver"};

std::string shipNickname(int index) {
    return std::string(kFactions[index % 8]) + "_" + kModels[(index / 8) % 8] + "_" +
           std::to_string(1000 + index);
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

class Text {
public:
    Text& line(const std::string& text) {
        bytes_ += text;
        bytes_ += kEol;
        return *this;
    }
    Text& key(const std::string& name, const std::string& value) {
        return line(name + " = " + value);
    }
    Text& key(const std::string& name, long long value) { return key(name, std::to_string(value)); }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

void writeShip(Text& out, Numbers& numbers, int index) {
    const std::string nick = shipNickname(index);
    const std::string model = kModels[(index / 8) % 8];
    const int shipClass = numbers.between(0, 19);
    out.line("[Ship]");
    out.key("ids_name", 237000 + index).key("ids_info", 66000 + index);
    out.key("ship_class", shipClass).key("nickname", nick);
    out.key("LODranges", "0, 75, 150, 1300");
    out.key("type", model == "freighter" ? "FREIGHTER"
                    : model == "gunboat" ? "GUNBOAT"
                                         : "FIGHTER");
    out.key("DA_archetype", "ships\\" + model + "\\" + nick + "\\" + nick + ".cmp");
    out.key("hit_pts", numbers.between(20, 200) * 100);
    out.key("nanobot_limit", numbers.between(10, 60));
    out.key("shield_battery_limit", numbers.between(10, 60));
    out.key("mass", numbers.between(80, 400));
    out.key("hold_size", numbers.between(20, 200));
    out.key("linear_drag", numbers.between(1, 3));
    out.key("fuse", nick + "_fuse, 0.000000, " + std::to_string(numbers.between(1, 30) * 100));
    out.key("max_bank_angle", numbers.between(15, 40));
    out.key("camera_offset", std::to_string(numbers.between(4, 12)) + ", " +
                                 std::to_string(numbers.between(15, 40)));
    out.key("camera_angular_acceleration", "0.050000");
    out.key("camera_horizontal_turn_angle", numbers.between(10, 30));
    out.key("camera_vertical_turn_up_angle", numbers.between(2, 10));
    out.key("camera_vertical_turn_down_angle", numbers.between(10, 30));
    const std::string torque = std::to_string(numbers.between(15, 40) * 1000) + ".000000";
    out.key("steering_torque", torque + ", " + torque + ", 65000.000000");
    out.key("angular_drag", "20000.000000, 20000.000000, 60000.000000");
    out.key("rotation_inertia", "2800.000000, 2800.000000, 1000.000000");
    out.key("strafe_force", numbers.between(10, 30) * 1000);
    out.key("hp_type", "hp_gun_special_" + std::to_string(numbers.between(1, 10)) +
                           ", HpWeapon01, HpWeapon02");
    out.key("hp_type",
            "hp_turret_special_" + std::to_string(numbers.between(1, 10)) + ", HpTurret01");
    out.key("hp_type",
            "hp_fighter_shield_special_" + std::to_string(numbers.between(1, 10)) + ", HpShield01");
    out.key("hp_type", "hp_thruster, HpThruster01");
    out.line("");
    if (index % 4 == 0) {
        out.line("[CollisionGroup]");
        out.key("obj", nick + "_port_wing").key("child_impulse", "80.000000");
        out.key("hit_pts", 2000).key("separable", "true").key("root_health_proxy", "false");
        out.line("");
    }
}

void writeShipArch(const std::filesystem::path& path, const Counts& counts) {
    Numbers numbers(1);
    Text out;
    out.line(";---------------------------------------------------------------------------");
    out.line("; ships, each followed by its collision groups");
    out.line("");
    for (int i = 0; i < counts.ships; ++i) {
        writeShip(out, numbers, i);
        // The model each ship names, so that the set is sound for the checker too.
        const std::string nick = shipNickname(i);
        const auto model = path.parent_path() / kModels[(i / 8) % 8] / nick / (nick + ".cmp");
        std::filesystem::create_directories(model.parent_path());
        writeFile(model, "");
    }
    writeFile(path, out.bytes());
}

void writeGoods(const std::filesystem::path& path, const Counts& counts) {
    Numbers numbers(2);
    Text out;
    out.line("; goods: commodities, equipment, ship hulls and ship packages").line("");
    for (int i = 0; i < counts.otherGoods; ++i) {
        const std::string name =
            std::string("commodity_") + kCommodities[i % 10] + "_" + std::to_string(i);
        const int price = numbers.between(5, 5000);
        out.line("[Good]").key("nickname", name).key("equipment", name);
        out.key("category", "commodity").key("price", price).key("combinable", "true");
        out.key("good_sell_price", price * 8 / 10).key("bad_buy_price", price * 12 / 10);
        out.key("good_buy_price", price);
        out.key("shop_archetype", "equipment\\models\\commodities\\nn_icons\\cmdt_" +
                                      std::string(kCommodities[i % 10]) + ".3db");
        out.key("item_icon", "equipment\\models\\commodities\\nn_icons\\cmdt_" +
                                 std::string(kCommodities[i % 10]) + ".3db");
        out.line("");
    }
    for (int i = 0; i < counts.buyableShips; ++i) {
        const std::string ship = shipNickname(i);
        out.line("[Good]").key("nickname", ship + "_hull").key("category", "shiphull");
        out.key("ship", ship).key("price", numbers.between(10, 2000) * 100);
        out.key("ids_name", 237000 + i);
        out.line("");
        out.line("[Good]").key("nickname", ship + "_package").key("category", "ship");
        out.key("hull", ship + "_hull");
        out.key("addon", ship + "_engine, internal, 1");
        out.key("addon", ship + "_power, internal, 1");
        out.key("addon", "ge_s_scanner_01, internal, 1");
        out.key("addon", "ge_s_tractor_01, internal, 1");
        out.key("addon", "ge_s_battery_01, internal, " + std::to_string(numbers.between(5, 30)));
        out.line("");
    }
    writeFile(path, out.bytes());
}

void writeEngineEquip(const std::filesystem::path& path, const Counts& counts) {
    Numbers numbers(3);
    Text out;
    out.line("; engines").line("");
    for (int i = 0; i < counts.ships; ++i) {
        const std::string ship = shipNickname(i);
        const std::string sound = std::string("engine_") + kFactions[i % 8] + "_fighter";
        out.line("[Engine]").key("nickname", ship + "_engine");
        out.key("ids_name", 263000 + i).key("ids_info", 264000 + i);
        out.key("volume", "0.000000").key("mass", 0);
        out.key("max_force", numbers.between(20, 120) * 1000);
        out.key("linear_drag", numbers.between(2, 12) * 100);
        out.key("power_usage", 0);
        out.key("reverse_fraction", "0." + std::to_string(numbers.between(10, 30)));
        out.key("flame_effect", std::string("gf_") + kFactions[i % 8] + "_smallengine01_fire");
        out.key("trail_effect", std::string("gf_") + kFactions[i % 8] + "_smallengine01_trail");
        out.key("cruise_charge_time", numbers.between(3, 8));
        out.key("cruise_power_usage", "0.0" + std::to_string(numbers.between(10, 99)));
        out.key("character_start_sound", sound + "_start");
        out.key("outside_cone_attenuation", 0);
        out.line("");
    }
    writeFile(path, out.bytes());
}

void writeMiscEquip(const std::filesystem::path& path, const Counts& counts) {
    Numbers numbers(4);
    Text out;
    out.line("; power plants, tractor beam, scanner, repair kits and shield batteries").line("");
    out.line("[Tractor]").key("nickname", "ge_s_tractor_01").key("ids_name", 261000);
    out.key("ids_info", 262000).key("max_length", 1500).key("reach_speed", 1000);
    out.key("lootable", "false").key("tractor_complete_snd", "tractor_beam_complete").line("");
    out.line("[Scanner]").key("nickname", "ge_s_scanner_01").key("range", 2500);
    out.key("cargo_scan_range", 2000).key("lootable", "false").line("");
    out.line("[RepairKit]").key("nickname", "ge_s_repair_01").key("ids_name", 263620);
    out.key("hit_pts", 10).key("units_per_container", 1).key("lootable", "true").line("");
    out.line("[ShieldBattery]").key("nickname", "ge_s_battery_01").key("ids_name", 263621);
    out.key("hit_pts", 10).key("units_per_container", 1).key("lootable", "true").line("");
    for (int i = 0; i < counts.ships; ++i) {
        out.line("[Power]").key("nickname", shipNickname(i) + "_power");
        out.key("ids_name", 263700 + i).key("ids_info", 264700 + i);
        out.key("volume", 0).key("mass", 0);
        out.key("capacity", numbers.between(10, 100) * 100);
        out.key("charge_rate", numbers.between(5, 50) * 50);
        out.key("thrust_capacity", numbers.between(5, 20) * 100);
        out.key("thrust_charge_rate", numbers.between(5, 20) * 10);
        out.line("");
    }
    writeFile(path, out.bytes());
}

void writeConstants(const std::filesystem::path& path) {
    Text out;
    out.line("; global constants").line("");
    out.line("[PhySysConsts]").key("ANOM_LIMITS_MAX_VELOCITY", 350);
    out.key("ANOM_LIMITS_MAX_ANGULAR_VELOCITY", 15).line("");
    out.line("[EngineEquipConsts]").key("CRUISING_SPEED", 300);
    out.key("CRUISE_DISRUPT_TIME", 4).key("CRUISE_ACCEL_TIME", "1.500000").line("");
    out.line("[AsteroidConsts]").key("MAX_LOOT_PER_ASTEROID", 4).line("");
    writeFile(path, out.bytes());
}

void writeNewCharacter(const std::filesystem::path& path) {
    Text out;
    out.line("[Faction]").key("nickname", "new_player").key("rep", "0, li_p_grp");
    out.key("base", "Li00_01_Base").line(""); // the first base of the generated universe
    out.line("[Package]").key("nickname", "default").key("money", 2000);
    out.key("ship", shipNickname(0) + "_package").line("");
    writeFile(path, out.bytes());
}

// The stand-ins of the model files the generated data names: the check looks for them.
void writeStandIn(const std::filesystem::path& gameDir, const std::string& below) {
    std::string path = below;
    std::replace(path.begin(), path.end(), '\\', '/');
    // In the folders as spelled on disk: the game finds them without regard to case.
    const std::filesystem::path file = resolveCaseInsensitive((gameDir / "DATA" / path).string());
    std::filesystem::create_directories(file.parent_path());
    writeFile(file, "stand-in");
}

std::string systemNickname(int index) {
    const std::string number = std::to_string(index);
    return std::string(kFactions[index % 8]) + (number.size() < 2 ? "0" : "") + number;
}

std::string baseNickname(int system, int base) {
    return systemNickname(system) + "_0" + std::to_string(base) + "_base";
}

void writeFreelancerIni(const std::filesystem::path& path) {
    Text out;
    out.line("[Freelancer]").key("data path", "..\\data").line("");
    out.line("[Data]");
    out.key("solar", "solar\\solararch.ini");
    out.key("equipment", "equipment\\misc_equip.ini");
    out.key("equipment", "equipment\\engine_equip.ini");
    out.key("equipment", "equipment\\weapon_equip.ini");
    out.key("goods", "equipment\\goods.ini");
    out.key("ships", "ships\\shiparch.ini");
    out.key("loadouts", "ships\\loadouts.ini");
    out.key("npcships", "missions\\npcships.ini");
    out.key("markets", "equipment\\market_commodities.ini");
    out.key("universe", "universe\\universe.ini");
    writeFile(path, out.bytes());
}

void writeWeapons(const std::filesystem::path& gameDir, const Counts& counts) {
    Text out;
    out.line("; guns and turrets of every class, lights and effects").line("");
    // As many guns as engines, each with a munition of its own: what the equipment tables read.
    Numbers numbers(7);
    for (int i = 0; i < counts.ships; ++i) {
        const std::string nick =
            std::string(kFactions[i % 8]) + "_gun" + std::to_string(i) + "_mark01";
        out.line("[Gun]").key("nickname", nick).key("ids_name", 265000 + i);
        out.key("DA_archetype", "equipment\\models\\weapons\\ge_gun.cmp");
        out.key("material_library", "equipment\\models\\ge_equip.mat");
        out.key("hp_gun_type", "hp_gun_special_" + std::to_string(i % 10 + 1));
        out.key("power_usage", "1." + std::to_string(numbers.between(10, 99)));
        out.key("refire_rate", "3." + std::to_string(numbers.between(10, 99)));
        out.key("muzzle_velocity", numbers.between(6, 9) * 100);
        out.key("projectile_archetype", nick + "_ammo").line("");
        out.line("[Munition]").key("nickname", nick + "_ammo").key("hit_pts", 2);
        out.key("hull_damage", numbers.between(20, 90))
            .key("energy_damage", numbers.between(10, 50));
        out.key("lifetime", "1." + std::to_string(numbers.between(0, 9))).line("");
    }
    for (int level = 1; level <= 10; ++level) {
        for (const std::string kind : {"gun", "turret"}) {
            const std::string nick = "ge_" + kind + "_" + std::to_string(level);
            out.line("[Gun]").key("nickname", nick).key("ids_name", 263000 + level);
            out.key("DA_archetype", "equipment\\models\\weapons\\ge_" + kind + ".cmp");
            out.key("material_library", "equipment\\models\\ge_equip.mat");
            out.key("hp_gun_type", "hp_" + kind + "_special_" + std::to_string(level));
            out.key("projectile_archetype", "ge_gun_ammo").line("");
        }
    }
    out.line("[Munition]").key("nickname", "ge_gun_ammo").key("hit_pts", 2).line("");
    out.line("[Light]").key("nickname", "ge_headlight").key("inherit", "L_headlight").line("");
    out.line("[AttachedFX]").key("nickname", "ge_contrail").key("particles", "gf_contrail");
    writeFile(gameDir / "DATA" / "EQUIPMENT" / "weapon_equip.ini", out.bytes());
    writeStandIn(gameDir, "equipment\\models\\weapons\\ge_gun.cmp");
    writeStandIn(gameDir, "equipment\\models\\weapons\\ge_turret.cmp");
    writeStandIn(gameDir, "equipment\\models\\ge_equip.mat");
}

void writeLoadouts(const std::filesystem::path& gameDir, const Counts& counts) {
    Text loadouts;
    Text npcs;
    for (int i = 0; i < counts.ships; ++i) {
        const std::string ship = shipNickname(i);
        loadouts.line("[Loadout]").key("nickname", ship + "_loadout").key("archetype", ship);
        loadouts.key("equip", ship + "_engine").key("equip", ship + "_power");
        loadouts.key("equip", "ge_s_scanner_01");
        loadouts.key("equip", "ge_gun_1, HpWeapon01").key("equip", "ge_gun_2, HpWeapon02");
        loadouts.key("equip", "ge_turret_1, HpTurret01");
        loadouts.key("equip", "ge_headlight, HpHeadlight");
        loadouts.key("equip", "ge_contrail, HpContrail01");
        loadouts.key("cargo", "commodity_gold_0, 5").line("");
        npcs.line("[NPCShipArch]").key("nickname", ship + "_d" + std::to_string(i % 19 + 1));
        npcs.key("loadout", ship + "_loadout").key("level", "d" + std::to_string(i % 19 + 1));
        npcs.key("ship_archetype", ship).key("pilot", "pilot_pirate_med");
        npcs.key("state_graph", "FIGHTER").key("npc_class", "unlawful, class_fighter").line("");
    }
    loadouts.line("[Loadout]").key("nickname", "ge_station_loadout").key("archetype", "station");
    loadouts.key("equip", "ge_turret_1, HpTurret01").key("equip", "ge_headlight, HpDockLight01");
    writeFile(gameDir / "DATA" / "SHIPS" / "loadouts.ini", loadouts.bytes());
    std::filesystem::create_directories(gameDir / "DATA" / "MISSIONS");
    writeFile(gameDir / "DATA" / "MISSIONS" / "npcships.ini", npcs.bytes());
}

void writeSolars(const std::filesystem::path& gameDir) {
    Text out;
    for (const std::string solar :
         {"planet", "station", "dock_ring", "jumpgate", "trade_lane_ring"}) {
        out.line("[Solar]").key("nickname", solar);
        out.key("DA_archetype", "solar\\models\\" + solar + ".cmp");
        out.key("material_library", "solar\\models\\solar.mat").line("");
        writeStandIn(gameDir, "solar\\models\\" + solar + ".cmp");
    }
    writeStandIn(gameDir, "solar\\models\\solar.mat");
    writeFile(gameDir / "DATA" / "SOLAR" / "solararch.ini", out.bytes());
}

// Systems in a ring, each joined to the next by a gate pair, with three bases and a lane.
void writeUniverse(const std::filesystem::path& gameDir, int systems, int commodities) {
    const auto universe = gameDir / "DATA" / "UNIVERSE";
    std::filesystem::create_directories(universe);
    Text out;
    Text markets;
    out.line("[Time]").key("seconds_per_day", 1800).line("");
    for (int s = 0; s < systems; ++s) {
        const std::string system = systemNickname(s);
        std::filesystem::create_directories(universe / "SYSTEMS" / system);
        for (int b = 1; b <= 3; ++b) {
            const std::string base = baseNickname(s, b);
            const std::string file = "universe\\systems\\" + system + "\\bases\\" + base + ".ini";
            out.line("[Base]").key("nickname", base).key("system", system);
            out.key("strid_name", 196000 + s * 3 + b).key("file", file).line("");
            writeStandIn(gameDir, file);
            markets.line("[BaseGood]").key("base", base);
            for (int g = 0; g < 10; ++g) {
                const int good = (s * 7 + b * 3 + g) % commodities;
                markets.key("MarketGood", std::string("commodity_") + kCommodities[good % 10] +
                                              "_" + std::to_string(good) +
                                              ", 0, -1, 150, 500, 0, 1");
            }
            markets.line("");
        }
    }
    for (int s = 0; s < systems; ++s) {
        const std::string system = systemNickname(s);
        out.line("[System]").key("nickname", system);
        out.key("file", "systems\\" + system + "\\" + system + ".ini");
        out.key("pos", std::to_string(s % 10) + ", " + std::to_string(s / 10));
        out.key("strid_name", 197000 + s).line("");
        Text objects;
        objects.line("[SystemInfo]").key("space_color", "0, 0, 0").line("");
        for (int b = 1; b <= 3; ++b) {
            const std::string base = baseNickname(s, b);
            const std::string object = system + "_0" + std::to_string(b);
            objects.line("[Object]").key("nickname", object);
            objects.key("archetype", b == 1 ? "planet" : "station");
            if (b == 3) {
                objects.key("loadout", "ge_station_loadout");
            }
            objects.key("base", base).key("dock_with", base).line("");
        }
        for (int r = 1; r <= 5; ++r) {
            objects.line("[Object]").key("nickname", system + "_ring_" + std::to_string(r));
            objects.key("archetype", "trade_lane_ring");
            if (r > 1) {
                objects.key("prev_ring", system + "_ring_" + std::to_string(r - 1));
            }
            if (r < 5) {
                objects.key("next_ring", system + "_ring_" + std::to_string(r + 1));
            }
            objects.line("");
        }
        for (const int other : {(s + 1) % systems, (s + systems - 1) % systems}) {
            const std::string to = systemNickname(other);
            objects.line("[Object]").key("nickname", system + "_to_" + to);
            objects.key("archetype", "jumpgate");
            objects.key("goto", to + ", " + to + "_to_" + system + ", gate_tunnel_bretonia");
            objects.line("");
        }
        std::filesystem::create_directories(universe / "SYSTEMS" / system);
        writeFile(universe / "SYSTEMS" / system / (system + ".ini"), objects.bytes());
    }
    writeFile(universe / "universe.ini", out.bytes());
    writeFile(gameDir / "DATA" / "EQUIPMENT" / "market_commodities.ini", markets.bytes());
}

// The demo game spells its folders in capitals; the copies get the generator's spelling,
// which the editor resolves the same way.
void copyDemoGame(const std::array<std::filesystem::path, 6>& files) {
    const std::filesystem::path demo = std::filesystem::path(SKARVEL_DEMO_GAME_DIR) / "DATA";
    const std::array<std::filesystem::path, 6> sources = {demo / "constants.ini",
                                                          demo / "EQUIPMENT" / "misc_equip.ini",
                                                          demo / "EQUIPMENT" / "engine_equip.ini",
                                                          demo / "EQUIPMENT" / "goods.ini",
                                                          demo / "SHIPS" / "shiparch.ini",
                                                          demo / "CHARACTERS" / "newcharacter.ini"};
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::filesystem::copy_file(sources[i], files[i],
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

} // namespace

std::array<std::filesystem::path, 6> dataSetFiles(const std::filesystem::path& gameDir) {
    const auto data = gameDir / "DATA";
    return {data / "constants.ini",
            data / "EQUIPMENT" / "misc_equip.ini",
            data / "EQUIPMENT" / "engine_equip.ini",
            data / "EQUIPMENT" / "goods.ini",
            data / "SHIPS" / "shiparch.ini",
            data / "Characters" / "newcharacter.ini"};
}

const char* sizeName(DataSetSize size) {
    switch (size) {
    case DataSetSize::Demo:
        return "demo";
    case DataSetSize::Mid:
        return "mid";
    case DataSetSize::Large:
        break;
    }
    return "large";
}

int lastBuyableShip(DataSetSize size) {
    return countsOf(size).buyableShips - 1;
}

void generateDataSet(const std::filesystem::path& gameDir, DataSetSize size) {
    const Counts counts = countsOf(size);
    const auto files = dataSetFiles(gameDir);
    for (const auto& file : files) {
        std::filesystem::create_directories(file.parent_path());
    }
    if (size == DataSetSize::Demo) {
        copyDemoGame(files);
        return;
    }
    writeConstants(files[0]);
    writeMiscEquip(files[1], counts);
    writeEngineEquip(files[2], counts);
    writeGoods(files[3], counts);
    writeShipArch(files[4], counts);
    writeNewCharacter(files[5]);
}

void generateModFiles(const std::filesystem::path& gameDir, DataSetSize size) {
    if (size == DataSetSize::Demo) {
        return;
    }
    const Counts counts = countsOf(size);
    std::filesystem::create_directories(gameDir / "EXE");
    std::filesystem::create_directories(gameDir / "DATA" / "SOLAR");
    writeFreelancerIni(gameDir / "EXE" / "freelancer.ini");
    writeWeapons(gameDir, counts);
    writeLoadouts(gameDir, counts);
    writeSolars(gameDir);
    writeUniverse(gameDir, size == DataSetSize::Mid ? 30 : 100, counts.otherGoods);
    for (int i = 0; i < counts.ships; ++i) {
        const std::string nick = shipNickname(i);
        writeStandIn(gameDir, "ships\\" + std::string(kModels[(i / 8) % 8]) + "\\" + nick + "\\" +
                                  nick + ".cmp");
    }
}

GeneratedDataSet::GeneratedDataSet(DataSetSize size) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "skarvel-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    root_ = pattern;
    gameDir_ = root_ / "Freelancer";
    generateDataSet(gameDir_, size);
}

GeneratedDataSet::~GeneratedDataSet() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

} // namespace skarvel::bench
