#include "journal/Journal.h"
#include "ships/Hardpoints.h"
#include "ships/Numbers.h"
#include "support/ManualClock.h"
#include "support/MemoryForm.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <regex>
#include <set>

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
    Lines journalSince(std::size_t from) const {
        const Lines all = journalLines();
        return Lines(all.begin() + static_cast<std::ptrdiff_t>(from), all.end());
    }

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
               "[Action ] Eintrag hp_type gefunden in Zeile 2",
               "[End    ] HardpointWerte speichern - Elapsed time: 00:00:00"}));
    EXPECT_EQ(fileText(), crlf("[Ship0]\nnickname = a\nhp_type=hp_gun_special_1, HpWeapon01\n"
                               "hp_type = hp_mine_dropper, HpMine01\n[Ship1]\nnickname = b\n"));

    from = journalLines().size();
    load(7);
    EXPECT_EQ(journalSince(from)[2], "[Action ] Zeile des aktuellen Schiffs ist -1");
    EXPECT_EQ(journalSince(from).size(), 4u);
    EXPECT_TRUE(hardpoints->weaponLevels().entries().empty());
    EXPECT_EQ(form.text("edWeaponHPLevel"), "");
    EXPECT_EQ(form.selectedIndex("cbWeaponHP"), -1);
}

TEST_F(HardpointsTest, SaveWritesFreshBlocksFromTheLevels) {
    struct Case {
        int ship;
        std::string golden;
        std::function<void()> edit;
    };
    const std::vector<Case> cases{
        {0, "saved_ship0_unchanged.ini", [] {}},
        {0, "saved_ship0_raised.ini",
         [this] {
             pick("cbWeaponHP", "HpWeapon02");
             spin("edWeaponHPLevel", "4");
             spin("edShieldHPLevel", "3");
         }},
        {0, "saved_ship0_all_one.ini",
         [this] {
             for (const char* name : {"HpWeapon01", "HpWeapon02"}) {
                 pick("cbWeaponHP", name);
                 spin("edWeaponHPLevel", "1");
             }
             spin("edTurretHpLevel", "1");
             spin("edShieldHPLevel", "1");
         }},
        // A level stored under no name is not written.
        {0, "saved_ship0_unchanged.ini",
         [this] {
             form.setSelectedIndex("cbWeaponHP", -1);
             spin("edWeaponHPLevel", "5");
         }},
        {1, "saved_ship1_unchanged.ini", [] {}},
        {2, "saved_ship2_unchanged.ini", [] {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        useFixture("shiparch.ini");
        load(c.ship);
        c.edit();
        save(c.ship);
        EXPECT_EQ(fileText(), golden(c.golden));
    }

    // A short section keeps the blocks below its header, shield, turret and gun.
    useFixture("short_section.ini");
    load(0);
    save(0);
    EXPECT_EQ(fileText(), golden("saved_short_section.ini"));
}

TEST_F(HardpointsTest, SavingTheExampleOfTwoGunLinesChangesNothing) {
    const std::string text = "[Ship0]\nnickname = a\nhp_type=hp_gun_special_1, HpWeapon01, "
                             "HpWeapon02\nhp_type=hp_gun_special_2, HpWeapon01\n"
                             "hp_type = hp_torpedo_special_1, HpTorpedo01\n";
    useText(text);
    load(0);
    EXPECT_EQ(hardpoints->weaponLevels().entries(),
              (Entries{{"HpWeapon01", "2"}, {"HpWeapon02", "1"}}));
    save(0);
    EXPECT_EQ(fileText(), crlf(text));

    // Raising HpWeapon02 to 3 puts it alone on the third line.
    pick("cbWeaponHP", "HpWeapon02");
    spin("edWeaponHPLevel", "3");
    save(0);
    EXPECT_EQ(fileText(), crlf("[Ship0]\nnickname = a\nhp_type=hp_gun_special_1, HpWeapon01, "
                               "HpWeapon02\nhp_type=hp_gun_special_2, HpWeapon01, HpWeapon02\n"
                               "hp_type=hp_gun_special_3, HpWeapon02\n"
                               "hp_type = hp_torpedo_special_1, HpTorpedo01\n"));
}

TEST_F(HardpointsTest, OnlyTheShipsOwnSectionIsReadAndRewritten) {
    const std::string text =
        "[Ship0]\nnickname = a\nhp_type = hp_gun_special_2, HpWeapon01\nhit_pts = 10\n\n"
        "[CollisionGroup]\nobj = a_wing\nhp_type = hp_gun_special_7, HpFake\n\n"
        "[Ship1]\nhp_type = hp_gun_special_1, HpOther\n";
    useText(text);
    load(0);
    EXPECT_EQ(hardpoints->weaponLevels().entries(), (Entries{{"HpWeapon01", "2"}}));
    save(0);
    EXPECT_EQ(fileText(),
              crlf("[Ship0]\nnickname = a\nhit_pts = 10\nhp_type=hp_gun_special_1, HpWeapon01\n"
                   "hp_type=hp_gun_special_2, HpWeapon01\n\n[CollisionGroup]\nobj = a_wing\n"
                   "hp_type = hp_gun_special_7, HpFake\n\n[Ship1]\n"
                   "hp_type = hp_gun_special_1, HpOther\n"));
}

TEST_F(HardpointsTest, ShieldClassAndHardpointStayTheShipsOwn) {
    useFixture("shiparch.ini");
    load(0);
    pick("cbShieldTyp", "fighter");
    pick("cbShieldTyp", "original"); // keeps the class last picked
    EXPECT_EQ(hardpoints->shieldType(), "fighter");
    save(0);
    const std::string saved = fileText();
    EXPECT_NE(saved.find("hp_type=hp_fighter_shield_special_2, HpShield01\r\n"), std::string::npos);
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
                               "hp_type=hp_gun_special_1, HpWeapon01\nnickname = b\n"));

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
    try {
        load(0);
        ADD_FAILURE() << "no conversion error";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'x' is not a valid integer value");
    }
    EXPECT_EQ(journalLines().back(), "[End    ] HardpointWerte laden - Elapsed time: 00:00:00");
    EXPECT_FALSE(hardpoints->weaponLevels().sorted());
    EXPECT_EQ(hardpoints->weaponLevels().entries(), (Entries{{"HpWeapon01", "1"}}));

    // The levels of a broken load are not complete: the save leaves the ship alone.
    save(0);
    EXPECT_EQ(fileText(), crlf(text));
    EXPECT_EQ(journalSince(journalLines().size() - 2)[0],
              "[Error  ] Hardpoints von [Ship0] nicht geladen - Hardpoints nicht gespeichert");

    for (const int ship : {1, 2, 3}) {
        try {
            load(ship);
            ADD_FAILURE() << "no range error for ship " << ship;
        } catch (const std::range_error& error) {
            EXPECT_STREQ(error.what(), "Range check error");
        }
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

// The special mounts the ship's section declares, as "type hardpoint" pairs (blanks, order
// and letter case of the names aside); every other line of the file goes to otherLines.
std::set<std::string> specialMounts(const std::string& file, int ship, Lines& otherLines) {
    static const std::regex header(R"(^\s*\[(\w+)\].*)");
    static const std::regex special(
        R"(^\s*hp_type\s*=\s*(hp_\w*(gun|turret|shield)_special_\d+)([^;]*).*)");
    static const std::regex name(R"(,\s*([^,\s]+))");
    std::set<std::string> mounts;
    std::string section;
    for (std::size_t start = 0; start < file.size();) {
        const std::size_t end = file.find("\r\n", start);
        const std::string line = file.substr(start, end - start);
        start = end + 2;
        std::smatch match;
        if (std::regex_match(line, match, header)) {
            section = match[1];
        }
        if (!std::regex_match(line, match, special)) {
            otherLines.push_back(line);
        } else if (section == "Ship" + std::to_string(ship)) {
            const std::string names = match[3];
            for (std::sregex_iterator it(names.begin(), names.end(), name), last; it != last;
                 ++it) {
                std::string hardpoint = (*it)[1];
                std::transform(hardpoint.begin(), hardpoint.end(), hardpoint.begin(),
                               [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
                mounts.insert(match[1].str() + " " + hardpoint);
            }
        }
    }
    return mounts;
}

TEST_F(HardpointsTest, LoadingAndSavingUnchangedKeepsTheMeaningOfTheSpecialLines) {
    for (const int ship : {0, 1, 2}) {
        SCOPED_TRACE(ship);
        useFixture("shiparch.ini");
        Lines before;
        Lines after;
        const auto mountsBefore = specialMounts(fileText(), ship, before);
        load(ship);
        save(ship);
        EXPECT_EQ(specialMounts(fileText(), ship, after), mountsBefore);
        EXPECT_EQ(after, before);
        EXPECT_FALSE(mountsBefore.empty());
    }
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
