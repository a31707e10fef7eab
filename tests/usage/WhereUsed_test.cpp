#include "support/TestFiles.h"
#include "usage/RenamePlan.h"
#include "usage/WhereUsed.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace skarvel::test {
namespace {

using check::FileRole;

std::string crlf(std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) {
        text.insert(at, 1, '\r');
    }
    return text;
}

constexpr const char* kWeapons = "DATA/Equipment/Weapon_Equip.ini";
constexpr const char* kGoods = "DATA/Equipment/goods.ini";
constexpr const char* kMarket = "DATA/Equipment/Market_Misc.ini";
constexpr const char* kLoadouts = "DATA/SHIPS/loadouts.ini";

// A small mod in the game's shape: two guns sharing one munition, a mine dropper, a ship
// package, a market and a loadout naming them, in any letter case; loadouts.ini with CR LF,
// the weapons with a byte order mark.
struct TestMod {
    TestMod() {
        const auto game = tmp.path();
        writeBytes(game / "EXE/freelancer.ini", "[Freelancer]\n"
                                                "data path = ..\\data\n"
                                                "\n"
                                                "[Data]\n"
                                                "equipment = equipment\\weapon_equip.ini\n"
                                                "goods = EQUIPMENT\\goods.ini\n"
                                                "markets = equipment\\market_misc.ini\n"
                                                "loadouts = ships\\loadouts.ini\n"
                                                ";loadouts = ships\\old_loadouts.ini\n");
        writeBytes(game / kWeapons, "\xEF\xBB\xBF; weapons\n"
                                    "[Munition]\n"
                                    "nickname = li_gun01_ammo\n"
                                    "hp_type = hp_gun\n"
                                    "hit_pts = 2 ; fired by li_gun01 and li_gun02\n"
                                    "lifetime = 0.5\n"
                                    "\n"
                                    "[Gun]\n"
                                    "nickname = li_gun01\n"
                                    "ids_name = 263001\n"
                                    "hp_gun_type = hp_gun_special_1\n"
                                    "projectile_archetype = li_gun01_ammo\n"
                                    ";projectile_archetype = li_gun09_ammo\n"
                                    "\n"
                                    "[Gun]\n"
                                    "nickname = Li_Gun02\n"
                                    "hp_gun_type = hp_gun_special_1\n"
                                    "projectile_archetype = LI_GUN01_AMMO ; as li_gun01\n"
                                    "\n"
                                    "[MineDropper]\n"
                                    "nickname = li_mine_dropper\n"
                                    "projectile_archetype = li_mine01\n"
                                    "\n"
                                    "[Mine]\n"
                                    "nickname = li_mine01\n"
                                    "lifetime = 1e+01\n");
        writeBytes(game / kGoods, "[Good]\n"
                                  "nickname = li_gun01\n"
                                  "equipment = li_gun01\n"
                                  "category = equipment\n"
                                  "price = 500\n"
                                  "\n"
                                  "[Good]\n"
                                  "nickname = li_elite_package\n"
                                  "category = ship\n"
                                  "hull = li_elite_hull\n"
                                  "addon = LI_GUN01, HpWeapon01, 1 ; li_gun01 on the left\n"
                                  "addon = li_gun02,HpWeapon02, 1\n"
                                  "addon = li_mine_dropper, HpMine01, 1\n");
        writeBytes(game / kMarket, "[BaseGood]\n"
                                   "base = li01_01_base\n"
                                   "MarketGood = li_gun01, 0, -1, 10, 10, 0, 1\n"
                                   "MarketGood = li_mine_dropper, 0, -1, 10, 10, 0, 1\n");
        writeBytes(game / kLoadouts, crlf("[Loadout]\n"
                                          "nickname = li_elite_loadout\n"
                                          "archetype = li_elite\n"
                                          "equip =li_gun01 ,  HpWeapon01\n"
                                          "equip = Li_Gun02, HpWeapon02\n"
                                          "equip = li_mine_dropper, HpMine01\n"
                                          "cargo = li_gun01_ammo, 50\n"
                                          "cargo = LI_MINE01, 20\n"));
        index = usage::UsageIndex::build(check::readModFiles(tmp.path().string()));
    }

    TempDir tmp;
    usage::UsageIndex index;
};

const usage::UsageIndex& testIndex() {
    static const TestMod mod;
    return mod.index;
}

struct Row {
    std::string file;
    int line;
    std::string section;
    std::string sectionNickname;
    std::string key;
    std::string text;
    bool definition;
    bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.file << ':' << row.line << " [" << row.section << "] " << row.sectionNickname << ' '
         << row.key << (row.definition ? " (definition)" : "") << " '" << row.text << "'";
}

std::vector<Row> rowsOf(const std::vector<usage::Use>& uses) {
    std::vector<Row> rows;
    for (const auto& use : uses) {
        rows.push_back({use.file, use.line, use.section, use.sectionNickname, use.key, use.text,
                        use.definition});
    }
    return rows;
}

struct WhereUsedCase {
    const char* nickname;
    std::vector<Row> rows;
};

TEST(WhereUsed, ListsEveryLineNamingTheNicknameInFileAndLineOrder) {
    const std::vector<WhereUsedCase> cases = {
        {"LI_GUN01",
         {{kWeapons, 9, "Gun", "li_gun01", "nickname", "nickname = li_gun01", true},
          {kGoods, 2, "Good", "li_gun01", "nickname", "nickname = li_gun01", true},
          {kGoods, 3, "Good", "li_gun01", "equipment", "equipment = li_gun01", false},
          {kGoods, 11, "Good", "li_elite_package", "addon",
           "addon = LI_GUN01, HpWeapon01, 1 ; li_gun01 on the left", false},
          {kMarket, 3, "BaseGood", "", "MarketGood", "MarketGood = li_gun01, 0, -1, 10, 10, 0, 1",
           false},
          {kLoadouts, 4, "Loadout", "li_elite_loadout", "equip", "equip =li_gun01 ,  HpWeapon01",
           false}}},
        {"li_gun01_ammo",
         {{kWeapons, 3, "Munition", "li_gun01_ammo", "nickname", "nickname = li_gun01_ammo", true},
          {kWeapons, 12, "Gun", "li_gun01", "projectile_archetype",
           "projectile_archetype = li_gun01_ammo", false},
          {kWeapons, 18, "Gun", "Li_Gun02", "projectile_archetype",
           "projectile_archetype = LI_GUN01_AMMO ; as li_gun01", false},
          {kLoadouts, 7, "Loadout", "li_elite_loadout", "cargo", "cargo = li_gun01_ammo, 50",
           false}}},
        {"HpMine01",
         {{kGoods, 13, "Good", "li_elite_package", "addon", "addon = li_mine_dropper, HpMine01, 1",
           false},
          {kLoadouts, 6, "Loadout", "li_elite_loadout", "equip",
           "equip = li_mine_dropper, HpMine01", false}}},
        {"ge_unused_gun", {}},
        {"li_gun09_ammo", {}}, // only on a commented-out line
        {"weapons", {}},       // only in a comment before the first section
        {"263001", {}},        // a number names nothing
        {"li_gun0", {}},       // part of a name is no use of it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nickname);
        EXPECT_EQ(rowsOf(testIndex().uses(c.nickname)), c.rows);
    }
}

TEST(WhereUsed, CountsEachNameOnceWhateverItsLetterCase) {
    const auto uses = testIndex().uses("li_gun01");
    ASSERT_FALSE(uses.empty());
    EXPECT_EQ(uses.front().role, FileRole::Equipment);
    EXPECT_EQ(uses.back().role, FileRole::Loadouts);
    // li_gun01_ammo, hp_gun, li_gun01, hp_gun_special_1, li_gun02, li_mine_dropper, li_mine01,
    // li_elite_package, equipment, ship, li_elite_hull, HpWeapon01, HpWeapon02, HpMine01,
    // li01_01_base, li_elite_loadout, li_elite; 0.5, 1e+01, -1 and the prices are numbers.
    EXPECT_EQ(testIndex().nameCount(), 17U);
}

struct Change {
    std::string file;
    int line;
    std::string before;
    std::string after;
    bool operator==(const Change&) const = default;
};

void PrintTo(const Change& change, std::ostream* out) {
    *out << change.file << ':' << change.line << " '" << change.before << "' -> '" << change.after
         << "'";
}

std::vector<Change> changesOf(const usage::RenamePlan& plan) {
    std::vector<Change> changes;
    for (const auto& line : plan.lines) {
        changes.push_back({line.file, line.line, line.before, line.after});
    }
    return changes;
}

struct RenameCase {
    const char* from;
    const char* to;
    std::vector<Change> changes;
};

TEST(RenamePlan, ReplacesTheNamingItemsOnlyAndKeepsTheRestOfEachLine) {
    const std::vector<RenameCase> cases = {
        {"li_gun01",
         "Li_Laser01",
         {{kWeapons, 9, "nickname = li_gun01", "nickname = Li_Laser01"},
          {kGoods, 2, "nickname = li_gun01", "nickname = Li_Laser01"},
          {kGoods, 3, "equipment = li_gun01", "equipment = Li_Laser01"},
          {kGoods, 11, "addon = LI_GUN01, HpWeapon01, 1 ; li_gun01 on the left",
           "addon = Li_Laser01, HpWeapon01, 1 ; li_gun01 on the left"},
          {kMarket, 3, "MarketGood = li_gun01, 0, -1, 10, 10, 0, 1",
           "MarketGood = Li_Laser01, 0, -1, 10, 10, 0, 1"},
          {kLoadouts, 4, "equip =li_gun01 ,  HpWeapon01", "equip =Li_Laser01 ,  HpWeapon01"}}},
        {"LI_GUN01_AMMO",
         "li_bolt01",
         {{kWeapons, 3, "nickname = li_gun01_ammo", "nickname = li_bolt01"},
          {kWeapons, 12, "projectile_archetype = li_gun01_ammo",
           "projectile_archetype = li_bolt01"},
          {kWeapons, 18, "projectile_archetype = LI_GUN01_AMMO ; as li_gun01",
           "projectile_archetype = li_bolt01 ; as li_gun01"},
          {kLoadouts, 7, "cargo = li_gun01_ammo, 50", "cargo = li_bolt01, 50"}}},
        // Only the letter case changes: the name may stay in use.
        {"li_gun02",
         "LI_GUN02",
         {{kWeapons, 16, "nickname = Li_Gun02", "nickname = LI_GUN02"},
          {kGoods, 12, "addon = li_gun02,HpWeapon02, 1", "addon = LI_GUN02,HpWeapon02, 1"},
          {kLoadouts, 5, "equip = Li_Gun02, HpWeapon02", "equip = LI_GUN02, HpWeapon02"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        const auto plan = usage::planRename(testIndex(), c.from, c.to);
        EXPECT_EQ(plan.refusal, "");
        EXPECT_EQ(changesOf(plan), c.changes);
    }
    const auto plan = usage::planRename(testIndex(), "li_mine01", std::string(100, 'm'));
    EXPECT_EQ(plan.refusal, "");
    ASSERT_EQ(plan.lines.size(), 3U);
    EXPECT_EQ(plan.lines[2].role, FileRole::Loadouts);
    EXPECT_EQ(plan.lines[2].section, "Loadout");
}

TEST(RenamePlan, RefusesWhatWouldBreakOrMergeNames) {
    struct Refused {
        std::string from;
        std::string to;
        std::string refusal;
    };
    const std::string notName = "which a nickname cannot hold.";
    const std::string nulOrBreak = "The new name holds a NUL or a line break, " + notName;
    const std::vector<Refused> cases = {
        {"li_gun09_ammo", "li_bolt01",
         "li_gun09_ammo is defined nowhere: there is nothing to rename."},
        {"HpWeapon01", "HpWeapon07", "HpWeapon01 is defined nowhere: there is nothing to rename."},
        {"li_gun01", "li_gun01", "The new name is li_gun01 already."},
        {"li_gun01", "LI_GUN01_AMMO",
         "LI_GUN01_AMMO is already used: a rename would merge two names."},
        {"li_gun01", "hpweapon01", "hpweapon01 is already used: a rename would merge two names."},
        {"li_gun01", "", "The new name is empty."},
        {"li_gun01", std::string(101, 'm'), "The new name is longer than 100 characters."},
        {"li_gun01", "li gun", "The new name 'li gun' holds a blank, " + notName},
        {"li_gun01", "li\tgun", "The new name 'li\tgun' holds a blank, " + notName},
        {"li_gun01", "li_gun,1", "The new name 'li_gun,1' holds ',', " + notName},
        {"li_gun01", "li;gun", "The new name 'li;gun' holds ';', " + notName},
        {"li_gun01", "li=gun", "The new name 'li=gun' holds '=', " + notName},
        {"li_gun01", "[Gun]", "The new name '[Gun]' holds '[', " + notName},
        {"li_gun01", "gun]", "The new name 'gun]' holds ']', " + notName},
        {"li_gun01", std::string("li\0gun", 6), nulOrBreak},
        {"li_gun01", "li\ngun", nulOrBreak},
        {"li_gun01", "li\rgun", nulOrBreak},
        {"li_gun01", "-12.5", "The new name -12.5 is a number, which names nothing."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from + " -> " + c.to);
        const auto plan = usage::planRename(testIndex(), c.from, c.to);
        EXPECT_EQ(plan.refusal, c.refusal);
        EXPECT_TRUE(plan.lines.empty());
    }
}

} // namespace
} // namespace skarvel::test
