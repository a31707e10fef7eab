#include "gamedata/TextLines.h"
#include "ships/SpecialLines.h"

#include <functional>
#include <gtest/gtest.h>

namespace skarvel {
namespace {

using Edit = std::function<void(ShipSpecialLines&)>;

const MountKind kGun{SpecialMount::Gun, {}};
const MountKind kTurret{SpecialMount::Turret, {}};

Edit level(const MountKind& kind, const std::string& hardpoint, int from, int to) {
    return [=](ShipSpecialLines& lines) { lines.changeLevel(kind, hardpoint, from, to); };
}

Edit shieldClass(const std::string& from, const std::string& to, const std::string& hardpoint) {
    return [=](ShipSpecialLines& lines) { lines.moveShieldClass(from, to, hardpoint); };
}

std::string withCrLf(const std::string& text) {
    std::string result;
    for (const char c : text) {
        result += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return result;
}

// The ship's header is the first line; new lines end as most lines of the text do.
std::string edited(const std::string& before, const std::vector<Edit>& edits) {
    std::vector<EditableLine> lines = splitEditableLines(before);
    ShipSpecialLines special(lines, 0, commonLineEnd(before));
    for (const Edit& edit : edits) {
        edit(special);
    }
    return joinEditableLines(lines);
}

struct Row {
    const char* name;
    std::string before;
    std::vector<Edit> edits;
    std::string after;
};

// Each row runs on the section with LF line ends and again with CR LF.
TEST(ShipSpecialLines, EditOnlyWhatTheChangeNeeds) {
    const Row rows[] = {
        {"a trailing comma takes the name",
         "[Ship0]\nhp_type = hp_gun_special_1, HpWeapon01, HpWeapon02\n"
         "hp_type = hp_gun_special_2, HpWeapon01,",
         {level(kGun, "HpWeapon02", 1, 2)},
         "[Ship0]\nhp_type = hp_gun_special_1, HpWeapon01, HpWeapon02\n"
         "hp_type = hp_gun_special_2, HpWeapon01, HpWeapon02"},
        {"a trailing comma before a comment",
         "[Ship0]\nhp_type=hp_gun_special_1, HpWeapon01, ; left\nnickname = a\n",
         {level(kGun, "HpWeapon02", 0, 1)},
         "[Ship0]\nhp_type=hp_gun_special_1, HpWeapon01, HpWeapon02 ; left\nnickname = a\n"},
        {"a line that names nothing yet",
         "[Ship0]\nhp_type = hp_turret_special_1,\t\n",
         {level(kTurret, "HpTurret01", 0, 1)},
         "[Ship0]\nhp_type = hp_turret_special_1, HpTurret01\t\n"},
        {"a moved shield leaves a shared line for one of its own",
         "[Ship0]\nhp_type = hp_elite_shield_special_1, HpShield01, HpShield02\n"
         "hp_type = hp_fighter_shield_special_1, HpShield03 ; wing\nmass = 1\n",
         {shieldClass("elite", "fighter", "HpShield01")},
         "[Ship0]\nhp_type = hp_elite_shield_special_1, HpShield02\n"
         "hp_type = hp_fighter_shield_special_1, HpShield03 ; wing\n"
         "hp_type = hp_fighter_shield_special_1, HpShield01\nmass = 1\n"},
        {"a moved and raised shield beside another one's lines",
         "[Ship0]\nhp_type = hp_elite_shield_special_1, HpShield01\n"
         "hp_type = hp_fighter_shield_special_1, HpShield03\n"
         "hp_type = hp_fighter_shield_special_2, HpShield03\n",
         {shieldClass("elite", "fighter", "HpShield01"),
          level({SpecialMount::Shield, "fighter"}, "HpShield01", 1, 2)},
         "[Ship0]\nhp_type = hp_fighter_shield_special_1, HpShield01\n"
         "hp_type = hp_fighter_shield_special_1, HpShield03\n"
         "hp_type = hp_fighter_shield_special_2, HpShield01\n"
         "hp_type = hp_fighter_shield_special_2, HpShield03\n"},
        {"a shield line that names nothing takes a moved shield",
         "[Ship0]\nhp_type = hp_elite_shield_special_1, HpShield01, HpShield02\n"
         "hp_type = hp_fighter_shield_special_1, ; spare\n",
         {shieldClass("elite", "fighter", "HpShield01")},
         "[Ship0]\nhp_type = hp_elite_shield_special_1, HpShield02\n"
         "hp_type = hp_fighter_shield_special_1, HpShield01 ; spare\n"},
        {"a new line follows the last hp_type line and its indentation",
         "[Ship0]\n\thp_type = hp_thruster, HpThruster01\n\t; turrets come later\n\n"
         "\t[Ship1]\nhp_type = hp_turret_special_1, HpTurret09\n",
         {level(kTurret, "HpTurret01", 0, 1)},
         "[Ship0]\n\thp_type = hp_thruster, HpThruster01\n"
         "\thp_type = hp_turret_special_1, HpTurret01\n\t; turrets come later\n\n"
         "\t[Ship1]\nhp_type = hp_turret_special_1, HpTurret09\n"},
        {"without hp_type lines, the last line with content",
         "[Ship0]\n  nickname = a\n  ; next ship\n\n"
         "  [Ship1]\nhp_type = hp_gun_special_1, HpOther\n",
         {level(kGun, "HpWeapon01", 0, 1)},
         "[Ship0]\n  nickname = a\n  hp_type = hp_gun_special_1, HpWeapon01\n  ; next ship\n\n"
         "  [Ship1]\nhp_type = hp_gun_special_1, HpOther\n"},
        {"a bracket in a comment ends no section",
         "[Ship0]\n; [old values]\n hp_type=hp_gun_special_1, HpWeapon01 ; front\n ; rear\n",
         {level(kGun, "HpWeapon01", 1, 2)},
         "[Ship0]\n; [old values]\n hp_type=hp_gun_special_1, HpWeapon01 ; front\n"
         " hp_type=hp_gun_special_2, HpWeapon01\n ; rear\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(edited(row.before, row.edits), row.after);
        EXPECT_EQ(edited(withCrLf(row.before), row.edits), withCrLf(row.after));
    }
}

} // namespace
} // namespace skarvel
