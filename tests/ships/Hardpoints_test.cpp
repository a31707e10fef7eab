#include "journal/Journal.h"
#include "ships/Hardpoints.h"
#include "ships/Numbers.h"
#include "support/Errors.h"
#include "support/ManualClock.h"
#include "support/MemoryForm.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace skarvel {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;
using Lines = std::vector<std::string>;

std::string crlf(const std::string& text) {
    std::string result;
    for (const char c : text) {
        if (c == '\n') {
            result += '\r';
        }
        result += c;
    }
    return result;
}

class HardpointsTest : public ::testing::Test {
protected:
    HardpointsTest() {
        journal = std::make_unique<TJournal>(tmp.folder(), "DebugOut", JournalIdentity{}, clock);
        hardpoints = std::make_unique<Hardpoints>(*journal, form);
        form.setItems("cbShieldTyp", {"original", "fighter", "elite", "freighter"});
        form.setSelectedIndex("cbShieldTyp", 0);
        for (const char* field : {"edWeaponHPLevel", "edTurretHpLevel", "edShieldHPLevel"}) {
            form.setText(field, "1");
        }
    }

    void useFixture(const std::string& name) { test::writeBytes(path, golden(name)); }
    void useText(const std::string& text) { test::writeBytes(path, crlf(text)); }
    static std::string golden(const std::string& name) {
        return test::readBytes(test::fixturePath("hardpoints/" + name));
    }
    std::string fileText() const { return test::readBytes(path); }

    void load(int ship) { hardpoints->LoadHardpointValues(path, ship); }
    void save(int ship) { hardpoints->SaveHardpointValues(path, ship); }

    void pick(const std::string& list, const std::string& item) {
        const auto items = form.items(list);
        const auto found = std::find(items.begin(), items.end(), item);
        ASSERT_NE(found, items.end()) << item;
        form.setSelectedIndex(list, static_cast<int>(found - items.begin()));
        if (list == "cbWeaponHP") {
            hardpoints->cbWeaponHPChange();
        } else if (list == "cbTurretHP") {
            hardpoints->cbTurretHPChange();
        } else {
            form.setText(list, item);
            hardpoints->cbShieldTypChange();
        }
    }
    void spin(const std::string& field, const std::string& level) {
        form.setText(field, level);
        if (field == "edWeaponHPLevel") {
            hardpoints->edWeaponHPLevelChange();
        } else if (field == "edTurretHpLevel") {
            hardpoints->edTurretHpLevelChange();
        } else {
            hardpoints->edShieldHPLevelChange();
        }
    }

    Lines journalLines() const { return test::journalLines(journal->fileName()); }
    Lines journalSince(std::size_t from) const { return test::linesFrom(journalLines(), from); }

    test::TempDir tmp;
    test::ManualClock clock;
    std::unique_ptr<TJournal> journal;
    test::MemoryForm form;
    std::unique_ptr<Hardpoints> hardpoints;
    std::string path = (tmp.path() / "shiparch.ini").string();
};

constexpr const char* kSearch = "[Action ] Durchsuche Liste nach \"hp_type=\"";

TEST_F(HardpointsTest, LoadShowsTheHighestLevelOfEveryHardpoint) {
    useFixture("shiparch.ini");
    load(0);
    EXPECT_EQ(hardpoints->weaponLevels().entries(),
              (Entries{{"HpWeapon01", "3"}, {"HpWeapon02", "2"}}));
    EXPECT_EQ(hardpoints->turretLevels().entries(), (Entries{{"HpTurret01", "2"}}));
    EXPECT_FALSE(hardpoints->weaponLevels().sorted());
    EXPECT_EQ(form.items("cbWeaponHP"), (Lines{"HpWeapon01", "HpWeapon02"}));
    EXPECT_EQ(form.selectedIndex("cbWeaponHP"), 0);
    EXPECT_EQ(form.text("edWeaponHPLevel"), "3");
    EXPECT_EQ(form.text("edTurretHpLevel"), "2");
    EXPECT_EQ(hardpoints->shieldType(), "elite");
    EXPECT_EQ(hardpoints->shieldLevel(), 2);
    EXPECT_EQ(hardpoints->shieldHardpoint(), "HpShield01");
    EXPECT_EQ(form.selectedIndex("cbShieldTyp"), 2);
    EXPECT_EQ(form.text("edShieldHPLevel"), "2");

    pick("cbWeaponHP", "HpWeapon02");
    EXPECT_EQ(form.text("edWeaponHPLevel"), "2");

    // Lines without blanks, names differing in case, comments, the next ship's section.
    load(1);
    EXPECT_EQ(hardpoints->weaponLevels().entries(),
              (Entries{{"HpWeapon01", "1"}, {"hpweapon02", "2"}}));
    EXPECT_EQ(hardpoints->turretLevels().entries(),
              (Entries{{"HpTurret01", "1"}, {"HpTurret02", "2"}}));
    EXPECT_EQ(hardpoints->shieldType(), "freighter");
    EXPECT_EQ(hardpoints->shieldLevel(), 3);
    EXPECT_EQ(form.selectedIndex("cbShieldTyp"), 3);

    load(2); // the last ship of the file
    EXPECT_EQ(hardpoints->weaponLevels().entries(), (Entries{{"HpWeapon01", "1"}}));
    EXPECT_TRUE(hardpoints->turretLevels().entries().empty());
    EXPECT_EQ(form.text("edTurretHpLevel"), "");
    EXPECT_EQ(hardpoints->shieldType(), "fighter");
}

TEST_F(HardpointsTest, LoadAndSaveJournalEveryLineTheyLookAt) {
    useText("[Ship0]\nnickname = a\nhp_type = hp_gun_special_1, HpWeapon01\n"
            "hp_type = hp_mine_dropper, HpMine01\n[Ship1]\nnickname = b\n");
    std::size_t from = journalLines().size();
    load(0);
    EXPECT_EQ(
        journalSince(from),
        (Lines{"[Begin  ] HardpointWerte laden", "[Action ] Lade Werte aus Datei [" + path + "]",
               "[Action ] Zeile des aktuellen Schiffs ist 0", kSearch, kSearch, kSearch,
               "[Action ] Eintrag hp_type gefunden in Zeile 2", kSearch,
               "[Action ] Eintrag hp_type gefunden in Zeile 3", kSearch,
               "[End    ] HardpointWerte laden - Elapsed time: 00:00:00"}));

    from = journalLines().size();
    save(0);
    EXPECT_EQ(
        journalSince(from),
        (Lines{"[Begin  ] HardpointWerte speichern", "[Action ] Zeile des aktuellen Schiffs ist 1",
               kSearch, kSearch, "[Action ] Eintrag hp_type gefunden in Zeile 2", kSearch,
               "[Action ] Eintrag hp_type gefunden in Zeile 3",
               "[End    ] HardpointWerte speichern - Elapsed time: 00:00:00"}));
    EXPECT_EQ(fileText(), crlf("[Ship0]\nnickname = a\nhp_type = hp_gun_special_1, HpWeapon01\n"
                               "hp_type = hp_mine_dropper, HpMine01\n[Ship1]\nnickname = b\n"));

    from = journalLines().size();
    load(7);
    EXPECT_EQ(journalSince(from)[2], "[Action ] Zeile des aktuellen Schiffs ist -1");
    EXPECT_EQ(journalSince(from).size(), 4u);
    EXPECT_TRUE(hardpoints->weaponLevels().entries().empty());
    EXPECT_EQ(form.text("edWeaponHPLevel"), "");
    EXPECT_EQ(form.selectedIndex("cbWeaponHP"), -1);
}

TEST_F(HardpointsTest, UnchangedSaveKeepsEveryByte) {
    for (const auto& [file, ships] : std::vector<std::pair<std::string, std::vector<int>>>{
             {"shiparch.ini", {0, 1, 2}}, {"short_section.ini", {0}}}) {
        for (const int ship : ships) {
            SCOPED_TRACE(file + " " + std::to_string(ship));
            useFixture(file);
            load(ship);
            // A level stored under no name is not the ship's either.
            form.setSelectedIndex("cbWeaponHP", -1);
            spin("edWeaponHPLevel", "5");
            save(ship);
            EXPECT_EQ(fileText(), golden(file));
        }
    }
}

// A change of level edits the least it can: a hardpoint added to or removed from the lines
// of its kind, a line inserted or deleted only where no line can take it.
TEST_F(HardpointsTest, ChangedLevelsEditOnlyTheirLines) {
    struct Case {
        std::string name;
        std::string before;
        std::function<void()> edit;
        std::string after;
    };
    const std::string cumulative = "[Ship0]\nnickname = a\n"
                                   "hp_type=hp_gun_special_1, HpWeapon01, HpWeapon02\n"
                                   "hp_type=hp_gun_special_2, HpWeapon01\n"
                                   "hp_type = hp_torpedo_special_1, HpTorpedo01\n\n"
                                   "[Ship1]\nhp_type = hp_gun_special_1, HpOther\n";
    const std::string notCumulative =
        "[Ship0]\r\nhp_type = hp_gun_special_1, HpWeapon01, HpWeapon05\r\n"
        "hp_type = hp_gun_special_4, HpWeapon05, HpWeapon06 ; rear\r\n"
        "hp_type = hp_gun_special_7, HpWeapon06\r\n";
    const std::string commented = "[Ship0]\n"
                                  "hp_type=hp_gun_special_1, HpWeapon01, HpWeapon02   ; front\n"
                                  "hp_type=hp_gun_special_2, HpWeapon01 ; the left one\n"
                                  "hp_type=hp_turret_special_3, HpTurret01 ; level 3 only";
    const std::string twoShields = "[Ship0]\n"
                                   "hp_type = hp_elite_shield_special_1, HpShield01\n"
                                   "hp_type = hp_elite_shield_special_2, HpShield01\n"
                                   "hp_type = hp_fighter_shield_special_1, HpRadar01\n"
                                   "hp_type = hp_fighter_shield_special_2, HpRadar01\n";
    const std::string sharedShield =
        "[Ship0]\n"
        "hp_type = hp_elite_shield_special_1, HpShield01, HpShield02\n"
        "hp_type = hp_elite_shield_special_10, HpWeapon08, HpWeapon09\n"
        "hp_type = hp_elite_shield_special_2, HpShield01\n"
        "hp_type = hp_thruster, HpThruster01\n";
    const auto gun = [this](const std::string& name, const std::string& level) {
        pick("cbWeaponHP", name);
        spin("edWeaponHPLevel", level);
    };
    const std::vector<Case> cases{
        {"raised into an existing line and a new one", cumulative, [&] { gun("HpWeapon02", "3"); },
         "[Ship0]\nnickname = a\nhp_type=hp_gun_special_1, HpWeapon01, HpWeapon02\n"
         "hp_type=hp_gun_special_2, HpWeapon01, HpWeapon02\n"
         "hp_type=hp_gun_special_3, HpWeapon02\n"
         "hp_type = hp_torpedo_special_1, HpTorpedo01\n\n"
         "[Ship1]\nhp_type = hp_gun_special_1, HpOther\n"},
        {"lowered off a line that then names nothing", cumulative, [&] { gun("HpWeapon01", "1"); },
         "[Ship0]\nnickname = a\nhp_type=hp_gun_special_1, HpWeapon01, HpWeapon02\n"
         "hp_type = hp_torpedo_special_1, HpTorpedo01\n\n"
         "[Ship1]\nhp_type = hp_gun_special_1, HpOther\n"},
        {"lowered below lines that were not cumulative", notCumulative,
         [&] { gun("HpWeapon06", "2"); },
         "[Ship0]\r\nhp_type = hp_gun_special_1, HpWeapon01, HpWeapon05\r\n"
         "hp_type = hp_gun_special_2, HpWeapon06\r\n"
         "hp_type = hp_gun_special_4, HpWeapon05 ; rear\r\n"},
        {"raised above lines that were not cumulative", notCumulative,
         [&] { gun("HpWeapon05", "5"); },
         "[Ship0]\r\nhp_type = hp_gun_special_1, HpWeapon01, HpWeapon05\r\n"
         "hp_type = hp_gun_special_4, HpWeapon05, HpWeapon06 ; rear\r\n"
         "hp_type = hp_gun_special_5, HpWeapon05\r\n"
         "hp_type = hp_gun_special_7, HpWeapon06\r\n"},
        {"comments stay behind the names", commented,
         [&] {
             gun("HpWeapon02", "2");
             spin("edTurretHpLevel", "4");
         },
         "[Ship0]\nhp_type=hp_gun_special_1, HpWeapon01, HpWeapon02   ; front\n"
         "hp_type=hp_gun_special_2, HpWeapon01, HpWeapon02 ; the left one\n"
         "hp_type=hp_turret_special_3, HpTurret01 ; level 3 only\n"
         "hp_type=hp_turret_special_4, HpTurret01"},
        {"the shown shield class only", twoShields, [&] { spin("edShieldHPLevel", "3"); },
         "[Ship0]\nhp_type = hp_elite_shield_special_1, HpShield01\n"
         "hp_type = hp_elite_shield_special_2, HpShield01\n"
         "hp_type = hp_fighter_shield_special_1, HpRadar01\n"
         "hp_type = hp_fighter_shield_special_2, HpRadar01\n"
         "hp_type = hp_fighter_shield_special_3, HpRadar01\n"},
        {"a shield class moved", twoShields, [&] { pick("cbShieldTyp", "freighter"); },
         "[Ship0]\nhp_type = hp_elite_shield_special_1, HpShield01\n"
         "hp_type = hp_elite_shield_special_2, HpShield01\n"
         "hp_type = hp_freighter_shield_special_1, HpRadar01\n"
         "hp_type = hp_freighter_shield_special_2, HpRadar01\n"},
        {"a shield class moved off a shared line", sharedShield,
         [&] {
             pick("cbShieldTyp", "fighter");
             spin("edShieldHPLevel", "1");
         },
         "[Ship0]\nhp_type = hp_elite_shield_special_1, HpShield02\n"
         "hp_type = hp_elite_shield_special_10, HpWeapon08, HpWeapon09\n"
         "hp_type = hp_fighter_shield_special_1, HpShield01\n"
         "hp_type = hp_thruster, HpThruster01\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeBytes(path, c.before);
        load(0);
        c.edit();
        save(0);
        EXPECT_EQ(fileText(), c.after);
        save(0); // what is saved is the new starting point
        EXPECT_EQ(fileText(), c.after);
    }
}

TEST_F(HardpointsTest, SeveralShieldClassesShowTheLastAtItsHighestLevel) {
    test::writeBytes(path, "[Ship0]\nhp_type = hp_elite_shield_special_1, HpShield01\n"
                           "hp_type = hp_elite_shield_special_5, HpShield01\n"
                           "hp_type = hp_fighter_shield_special_1, HpRadar01\n"
                           "hp_type = hp_fighter_shield_special_10, HpWeapon08, HpRadar01\n"
                           "hp_type = hp_fighter_shield_special_2, HpRadar01\n");
    load(0);
    EXPECT_EQ(hardpoints->shieldType(), "fighter");
    EXPECT_EQ(hardpoints->shieldHardpoint(), "HpRadar01");
    EXPECT_EQ(form.text("edShieldHPLevel"), "10");
    const Lines lines = journalLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "[Info   ] Mehrere Schildklassen oder Hardpoints - angezeigt wird fighter "
                        "an HpRadar01"),
              lines.end());
}

TEST_F(HardpointsTest, ShieldClassAndHardpointStayTheShipsOwn) {
    useFixture("shiparch.ini");
    load(0);
    pick("cbShieldTyp", "fighter");
    pick("cbShieldTyp", "original"); // keeps the class last picked
    EXPECT_EQ(hardpoints->shieldType(), "fighter");
    save(0);
    const std::string saved = fileText();
    EXPECT_NE(saved.find("hp_type = hp_fighter_shield_special_2, HpShield01\r\n"),
              std::string::npos);
    EXPECT_EQ(saved.find("hp_elite_shield"), std::string::npos);

    // A ship without shield lines keeps the earlier shield hardpoint but never receives it.
    useText("[Ship0]\nhp_type = hp_elite_shield_special_1, HpShieldA\n[Ship1]\nnickname = b\n"
            "hp_type = hp_gun_special_1, HpWeapon01\n");
    load(0);
    load(1);
    EXPECT_EQ(hardpoints->shieldHardpoint(), "HpShieldA");
    EXPECT_EQ(hardpoints->shieldLevel(), 0);
    EXPECT_EQ(hardpoints->shieldType(), "");
    pick("cbShieldTyp", "elite");
    spin("edShieldHPLevel", "2");
    save(1);
    EXPECT_EQ(fileText(), crlf("[Ship0]\nhp_type = hp_elite_shield_special_1, HpShieldA\n[Ship1]\n"
                               "nickname = b\nhp_type = hp_gun_special_1, HpWeapon01\n"));

    EXPECT_THROW(spin("edShieldHPLevel", "256"), std::range_error);
    EXPECT_THROW(spin("edShieldHPLevel", "abc"), ConversionError);
}

TEST_F(HardpointsTest, BadLevelsEndTheLoadAndProtectTheFile) {
    const std::string text = "[Ship0]\nhp_type = hp_gun_special_1, HpWeapon01\n"
                             "hp_type = hp_gun_special_x, HpWeapon02\n"
                             "[Ship1]\nhp_type = hp_turret_special_256, HpTurret01\n"
                             "[Ship2]\nhp_type = hp_elite_shield_special_300, HpShield01\n"
                             "[Ship3]\nhp_type = hp_gun_special_-1, HpWeapon01\n";
    useText(text);
    EXPECT_EQ(test::errorOf<ConversionError>([&] { load(0); }), "'x' is not a valid integer value");
    EXPECT_EQ(journalLines().back(), "[End    ] HardpointWerte laden - Elapsed time: 00:00:00");
    EXPECT_FALSE(hardpoints->weaponLevels().sorted());
    EXPECT_EQ(hardpoints->weaponLevels().entries(), (Entries{{"HpWeapon01", "1"}}));

    // The levels of a broken load are not complete: the save leaves the ship alone.
    save(0);
    EXPECT_EQ(fileText(), crlf(text));
    EXPECT_EQ(journalSince(journalLines().size() - 2)[0],
              "[Error  ] Hardpoints von [Ship0] nicht geladen - Hardpoints nicht gespeichert");

    for (const int ship : {1, 2, 3}) {
        EXPECT_EQ(test::errorOf<std::range_error>([&] { load(ship); }), "Range check error")
            << ship;
        EXPECT_EQ(journalLines().back(), "[End    ] HardpointWerte laden - Elapsed time: 00:00:00");
    }
}

TEST_F(HardpointsTest, SaveLeavesTheFileAloneWhenItCannotFindOrReadTheShip) {
    useFixture("shiparch.ini");
    load(0);
    std::string plain = golden("shiparch.ini");
    plain.replace(plain.find("[Ship0]"), 7, "[Ship]");
    test::writeBytes(path, plain);
    save(0);
    EXPECT_EQ(fileText(), plain);
    const Lines lines = journalLines();
    EXPECT_EQ(lines[lines.size() - 2],
              "[Error  ] Schiff [Ship0] nicht gefunden - Hardpoints nicht gespeichert");
    EXPECT_EQ(lines.back(), "[End    ] HardpointWerte speichern - Elapsed time: 00:00:00");

    const std::string binary = golden("shiparch.ini") + std::string(1, '\0') + "tail";
    test::writeBytes(path, binary);
    EXPECT_THROW(save(0), std::runtime_error);
    EXPECT_EQ(fileText(), binary);
    EXPECT_EQ(journalLines().back(), "[End    ] HardpointWerte speichern - Elapsed time: 00:00:00");
}

TEST(LevelList, KeepsOrderWhileSortedAndEntriesInPlaceAfterwards) {
    LevelList list;
    list.setSorted(true);
    list.setLevel("HpWeapon03", "1");
    list.setLevel("hpweapon01", "2");
    list.setLevel("HpWeapon02", "1");
    list.setLevel("HPWEAPON03", "4"); // same hardpoint, new level, same place and spelling
    EXPECT_EQ(list.entries(),
              (Entries{{"hpweapon01", "2"}, {"HpWeapon02", "1"}, {"HpWeapon03", "4"}}));
    list.setSorted(false);
    list.setLevel("HpWeapon00", "1");
    list.setLevel("HpWeapon02", "");
    EXPECT_EQ(list.entries(),
              (Entries{{"hpweapon01", "2"}, {"HpWeapon03", "4"}, {"HpWeapon00", "1"}}));
    EXPECT_EQ(list.levelOf("HPWEAPON01"), "2");
    EXPECT_EQ(list.levelOf("HpWeapon09"), "");
    EXPECT_TRUE(list.contains("hpweapon00"));
}

} // namespace
} // namespace skarvel
