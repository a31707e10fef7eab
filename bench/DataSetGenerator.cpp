#include "DataSetGenerator.h"

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
    out.key("base", "LI01_01_Base").line("");
    out.line("[Package]").key("nickname", "default").key("money", 2000);
    out.key("ship", "li_fighter_package").line("");
    writeFile(path, out.bytes());
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
