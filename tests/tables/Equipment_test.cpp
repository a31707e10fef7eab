#include "check/ModFiles.h"
#include "commands/ExportCommand.h"
#include "gamedata/GameNames.h"
#include "support/CheckRun.h"
#include "support/PeBuilder.h"
#include "tables/Comparison.h"
#include "tables/EquipmentExport.h"
#include "tables/EquipmentTable.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace skarvel {
namespace {

using test::CheckedGame;

// The equipment test mod with the game's names of its guns, shield and thruster.
class EquipmentMod : public ::testing::Test {
protected:
    EquipmentMod() {
        test::writeBytes(game.game() / "EXE/resources.dll", test::buildPe({{1010, u"Justice"},
                                                                           {1011, u"Justice Mk II"},
                                                                           {1012, u"Firefly"},
                                                                           {1020, u"Deflector"}})
                                                                .bytes);
    }

    EquipmentTables tables() const {
        const check::ModFiles mod = check::readModFiles(game.folder());
        GameNames names;
        names.load(*mod.folder, [](const std::string&, const std::string&) {});
        return EquipmentTables::read(mod, names);
    }

    // The cell of the row of that nickname in the column of that key.
    static std::string cell(const EquipmentKind& kind, std::string_view nickname,
                            std::string_view key) {
        const std::size_t column = kind.columnOf(key);
        if (column == kind.columns.size()) {
            return "<no column " + std::string(key) + ">";
        }
        for (const EquipmentRow& row : kind.rows) {
            if (row.nickname == nickname) {
                return row.cells[column];
            }
        }
        return "<no row " + std::string(nickname) + ">";
    }

    CheckedGame game{"equipment-mod/game"};
};

TEST_F(EquipmentMod, KindsFollowTheFilesTheGameNames) {
    const EquipmentTables read = tables();
    std::vector<std::string> kinds;
    for (const EquipmentKind& kind : read.kinds()) {
        kinds.push_back(kind.kind + ":" + std::to_string(kind.rows.size()));
    }
    // The commented-out gun is no row; the kinds come in the order of their first section.
    EXPECT_EQ(kinds, (std::vector<std::string>{"Gun:3", "Munition:2", "Motor:1", "Explosion:2",
                                               "MineDropper:1", "Mine:1", "ShieldGenerator:1",
                                               "Thruster:1", "Power:1", "Tractor:1", "Engine:1"}));
    EXPECT_NE(read.find("gun"), nullptr);
    EXPECT_EQ(read.find("Cloak"), nullptr);
}

TEST_F(EquipmentMod, CellsShowTheFilesValuesNamesPricesAndDerivedValues) {
    const EquipmentTables read = tables();
    struct Case {
        std::string_view kind, nickname, key, expected;
    };
    // Worked by hand from the test mod's files.
    const Case cases[] = {
        {"Gun", "li_gun01_mark01", "name", "Justice"},
        {"Gun", "li_gun01_mark01", "good.price", "1200"},
        // The good names the gun in another letter case.
        {"Gun", "LI_Gun01_Mark02", "good.price", "1500"},
        {"Gun", "LI_Gun01_Mark02", "power_usage", "3,2"},
        {"Gun", "li_gun01_mark01", "munition.hull_damage", "40"},
        {"Gun", "li_gun01_mark01", "derived.hull_dps", "133.2"},         // 40 × 3.33
        {"Gun", "li_gun01_mark01", "derived.shield_dps", "66.6"},        // 20 × 3.33
        {"Gun", "li_gun01_mark01", "derived.energy_per_second", "7.99"}, // 2.4 × 3.33
        {"Gun", "li_gun01_mark01", "derived.range", "900"},              // 1.2 × 750
        {"Gun", "LI_Gun01_Mark02", "derived.hull_dps", "160"},
        {"Gun", "LI_Gun01_Mark02", "derived.energy_per_second", "12.8"}, // decimal comma read
        {"Gun", "LI_Gun01_Mark02", "derived.range", "960"},
        // A missile: its explosion's damage; the motor burns 2 s from 0.5 s at 200.
        {"Gun", "li_missile01_mark01", "derived.hull_dps", "300"},   // (0 + 600) × 0.5
        {"Gun", "li_missile01_mark01", "derived.shield_dps", "150"}, // 300 × 0.5
        {"Gun", "li_missile01_mark01", "derived.range", "1900"}, // 100×5 + 200×2×(5−0.5−1)
        {"Gun", "li_missile01_mark01", "motor.accel", "200"},
        {"Gun", "li_missile01_mark01", "explosion.radius", "20"},
        {"Gun", "li_gun01_mark01", "explosion.radius", ""},
        {"MineDropper", "li_mine_dropper01", "derived.hull_dps", "400"},
        // Missing data gives no value, never 0.
        {"MineDropper", "li_mine_dropper01", "derived.shield_dps", ""},
        {"MineDropper", "li_mine_dropper01", "derived.range", ""},
        {"MineDropper", "li_mine_dropper01", "good.price", ""},
        {"ShieldGenerator", "li_shield01", "derived.time_to_full", "20"},         // 1000 / 50
        {"ShieldGenerator", "li_shield01", "derived.time_to_full_offline", "21"}, // 5 + 800 / 50
        {"ShieldGenerator", "li_shield01", "hp_type",
         "hp_fighter_shield_special_1 | hp_freighter_shield_special_1"},
        {"Thruster", "li_thruster01", "derived.force_per_energy", "200"},
        {"Thruster", "li_thruster01", "name", ""}, // the DLL has no 1021
        {"Munition", "li_missile01_mark01_ammo", "motor.delay", "0.5"},
        {"Mine", "li_mine01", "explosion.hull_damage", "400"},
    };
    for (const Case& c : cases) {
        const EquipmentKind* kind = read.find(c.kind);
        ASSERT_NE(kind, nullptr) << c.kind;
        EXPECT_EQ(cell(*kind, c.nickname, c.key), c.expected) << c.nickname << " " << c.key;
    }
}

TEST_F(EquipmentMod, ColumnsSayWhatTheyHoldAndHowTheyAreWorkedOut) {
    const EquipmentTables read = tables();
    const EquipmentKind& guns = *read.find("Gun");
    const EquipmentColumn& refire = guns.columns[guns.columnOf("refire_rate")];
    EXPECT_TRUE(refire.numeric);
    EXPECT_EQ(refire.link, EquipmentLink::Own);
    EXPECT_EQ(guns.columns[guns.columnOf("munition.lifetime")].link, EquipmentLink::Munition);
    EXPECT_FALSE(guns.columns[guns.columnOf("hp_gun_type")].numeric);
    EXPECT_NE(guns.columns[guns.columnOf("derived.range")].formula.find("muzzle_velocity"),
              std::string::npos);
    // A key that stands twice in its section is joined and takes no change.
    const EquipmentKind& shields = *read.find("ShieldGenerator");
    const std::size_t hpType = shields.columnOf("hp_type");
    EXPECT_TRUE(shields.rows[0].joined[hpType]);
    EXPECT_FALSE(shields.rows[0].joined[shields.columnOf("max_capacity")]);
}

TEST_F(EquipmentMod, ExportWritesOneRowPerSectionInBothFormats) {
    std::ostringstream out;
    std::ostringstream err;
    const std::string folder = game.folder();
    const std::vector<std::string_view> csv{"gun", folder};
    ASSERT_EQ(runExportCommand(csv, out, err), 0) << err.str();
    const std::string text = out.str();
    EXPECT_TRUE(text.starts_with("nickname,name,good.price,ids_name,hp_gun_type,power_usage,"))
        << text;
    EXPECT_NE(text.find("\r\nLI_Gun01_Mark02,Justice Mk II,1500,1011,hp_gun_special_2,3.2,"),
              std::string::npos)
        << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4); // the header and three guns

    std::ostringstream json;
    const std::vector<std::string_view> asJson{"Gun", folder, "--format", "json"};
    ASSERT_EQ(runExportCommand(asJson, json, err), 0) << err.str();
    const auto rows = nlohmann::json::parse(json.str());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1]["power_usage"], "3,2"); // the file's text as it stands
    EXPECT_EQ(rows[0]["derived.hull_dps"], 133.2);
    EXPECT_TRUE(rows[0]["explosion.radius"].is_null());
}

// The ships as the Fleet page shows them, read where they lie (numbered or plain).
TEST_F(EquipmentMod, ExportOfShipsHasTheFleetPagesColumns) {
    const std::string folder = game.folder();
    std::ostringstream csv;
    std::ostringstream json;
    std::ostringstream err;
    ASSERT_EQ(runExportCommand(std::vector<std::string_view>{"ships", folder}, csv, err), 0);
    const std::string text = csv.str();
    EXPECT_TRUE(text.starts_with("name,nickname,type,")) << text;
    EXPECT_NE(text.find(",derived.engine_speed,"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nUnknown Ship (editable),li_elite,FIGHTER,"), std::string::npos)
        << text;
    ASSERT_EQ(runExportCommand(std::vector<std::string_view>{"Ships", folder, "--format=json"},
                               json, err),
              0);
    const auto rows = nlohmann::json::parse(json.str());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["hold_size"], "30");
    EXPECT_TRUE(rows[0]["derived.engine_speed"].is_null()); // no package, no engine
}

TEST_F(EquipmentMod, ExportRefusesWhatItCannotAnswer) {
    struct Case {
        std::vector<std::string_view> arguments;
        std::string_view message;
    };
    const std::string folder = game.folder();
    const std::string missing = (game.tmp.path() / "none").string();
    const Case cases[] = {
        {{"Gun"}, "needs the kind and the game folder"},
        {{"Gun", folder, "--format", "xml"}, "unknown format 'xml'"},
        {{"Gun", folder, "more"}, "unexpected argument 'more'"},
        {{"Cloak", folder}, "kinds: ships, Gun, Munition, Motor"},
        {{"Gun", missing}, "skarvel: "},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runExportCommand(c.arguments, out, err), 2);
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
    }
}

TEST(Comparison, MarksWhatDiffersFromTheFirstPinnedRowAndByHowMuch) {
    const auto compared =
        comparePinned({"nickname", "refire_rate", "lifetime"}, {false, true, true},
                      {{"a", "3.33", "1.2"}, {"b", "4", ""}, {"a", "3,33", "x"}});
    struct Case {
        std::size_t column;
        std::vector<bool> differs;
        std::vector<std::string> difference;
    };
    const Case cases[] = {
        {0, {false, true, false}, {"", "", ""}},
        // A decimal comma spells the same number; the difference is worked to two decimals.
        {1, {false, true, false}, {"", "+0.67", ""}},
        // A missing value or a text differs, with no difference to show.
        {2, {false, true, true}, {"", "", ""}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compared[c.column].differs, c.differs) << c.column;
        EXPECT_EQ(compared[c.column].difference, c.difference) << c.column;
    }
    EXPECT_FALSE(comparePinned({"k"}, {true}, {{"1"}, {"1.0"}})[0].anyDifference);
}

} // namespace
} // namespace skarvel
