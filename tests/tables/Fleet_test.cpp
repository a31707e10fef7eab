// The Fleet page's core: its rows read like a ship load, changes over many rows, their
// review and save through the one write path, CSV, and the line to the Ship page.
#include "gamedata/TextLines.h"
#include "ports/Controls.h"
#include "ships/EditorSession.h"
#include "ships/FieldLabels.h"
#include "support/TestFiles.h"
#include "tables/FleetColumns.h"
#include "tables/FleetCommands.h"
#include "tables/FleetCsv.h"
#include "tables/FleetReview.h"

#include <map>

namespace skarvel::test {
namespace {

using Op = FleetEdits::Operation;

class FleetTest : public EditorSession {
protected:
    FleetTest() : EditorSession("game-mod") {}

    void open() {
        editor->btRelloadClick();
        ASSERT_TRUE(editor->dataSet().isOpen());
        fleet.refresh();
    }
    std::size_t column(std::string_view key) const {
        const std::size_t found = fleetColumnOfKey(key);
        EXPECT_LT(found, fleetColumns().size()) << key;
        return found;
    }
    std::string cell(std::size_t row, std::string_view key) {
        return fleet.edits().shown(row, column(key));
    }
    // The message a change over rows leaves: empty when every cell changed.
    std::string bulk(const std::vector<std::size_t>& rows, std::string_view key, Op op,
                     std::string_view operand) {
        return bulkChangeMessage(fleet.edits().apply(rows, column(key), op, operand));
    }

    FleetCommands fleet{*journal, form, dialogs, *editor};
};

// Every column of ships that show the odd cases: a fractional engine drag shared by two
// ships, an engine that cannot move, a ship without hull good (no engine, no price).
TEST_F(FleetTest, RowsShowWhatAShipLoadShows) {
    open();
    ASSERT_EQ(fleet.table().rows().size(), 6u);
    const std::map<std::string, std::string> gunship = {
        {"name", "Mod Gunship"},
        {"nickname", "mod_gunship"},
        {"type", "FIGHTER"},
        {"ship_class", ""},
        {"ids_name", "237033"},
        {"hit_pts", "2100"},
        {"nanobot_limit", "16"},
        {"shield_battery_limit", "16"},
        {"mass", "150.000000"},
        {"hold_size", "40"},
        {"ship_ident_name", ""},
        {"max_bank_angle", ""},
        {"linear_drag", "1.5"},
        {"camera_offset", "7.500000, 25.000000"},
        {"steering_torque", "22000.000000, 22000.000000, 66000.000000"},
        {"price", "45000"},
        {"tractor.max_length", "1500"},
        {"tractor.reach_speed", "900"},
        {"power.nickname", "mod_power_01"},
        {"power.mass", "0"},
        {"power.capacity", "12000"},
        {"power.charge_rate", "4000"},
        {"power.thrust_capacity", "800"},
        {"power.thrust_charge_rate", "100"},
        {"engine.nickname", "mod_engine_frac"},
        {"engine.max_force", "48000"},
        {"engine.linear_drag", "135.6"},
        {"engine.reverse_fraction", "0.15"},
        {"engine.cruise_power_usage", "0.25"},
        {"engine.cruise_charge_time", "5"},
        {"engine_speed", "354"},
        {"reverse_speed", "53"},
        {"gun_hardpoints", "7"},
        {"gun_level", "4"},
        {"turret_hardpoints", "0"},
        {"turret_level", "0"},
        {"shield_hardpoints", "1"},
        {"shield_level", "2"}};
    for (const FleetColumn& each : fleetColumns()) {
        const auto expected = gunship.find(each.key);
        // The keys the section lacks show empty.
        EXPECT_EQ(cell(0, each.key), expected == gunship.end() ? "" : expected->second) << each.key;
    }
    const std::map<std::string, std::string> freighter = {{"engine.nickname", "mod_engine_whole"},
                                                          {"engine_speed", "120"},
                                                          {"reverse_speed", "24"},
                                                          {"turret_hardpoints", "2"},
                                                          {"turret_level", "2"},
                                                          {"shield_hardpoints", "2"},
                                                          {"shield_level", "3"},
                                                          {"price", "90000"}};
    for (const auto& [key, expected] : freighter) {
        EXPECT_EQ(cell(1, key), expected) << key;
    }
    // No power plant in its package; an engine of drag 0 has no speed.
    EXPECT_EQ(cell(3, "power.nickname"), "");
    EXPECT_EQ(cell(3, "power.capacity"), "");
    EXPECT_EQ(cell(4, "engine.max_force"), "0");
    EXPECT_EQ(cell(4, "engine_speed"), "");
    const std::map<std::string, std::string> noHull = {
        {"price", ""},           {"engine.nickname", ""}, {"engine.max_force", ""},
        {"engine_speed", ""},    {"power.capacity", ""},  {"tractor.max_length", ""},
        {"gun_hardpoints", "1"}, {"gun_level", "1"}};
    for (const auto& [key, expected] : noHull) {
        EXPECT_EQ(cell(5, key), expected) << key;
    }
    EXPECT_FALSE(fleet.edits().place(5, column("engine.max_force")));
    EXPECT_EQ(fleetHeader(fleetColumns()[column("hold_size")]), "Cargo hold (hold_size)");
    EXPECT_EQ(fleetHeader(fleetColumns()[column("hit_pts")]), "Hit points (hit_pts)");
    EXPECT_EQ(fleetHeader(fleetColumns()[column("engine.max_force")]), "Max force (max_force)");
}

TEST_F(FleetTest, ChangesOverManyRowsKeepTheirDecimalsAndReview) {
    open();
    struct Case {
        const char* key;
        std::vector<std::size_t> rows;
        Op op;
        const char* operand;
        std::vector<std::string> shown; // per row after the change
        std::size_t changes;            // pending in all
    };
    const Case cases[] = {
        {"hold_size", {0, 1, 2}, Op::Set, "60.4", {"60.4", "60.4", "60.4"}, 3},
        {"hit_pts", {0, 3}, Op::Add, "100", {"2200", "2600"}, 5},
        // Shared by rows 0 and 2: changed once, exact to the decimals of both.
        {"engine.linear_drag", {0, 2}, Op::Percent, "110", {"149.16", "149.16"}, 6},
        {"engine.reverse_fraction", {1}, Op::Add, "0.05", {"0.25"}, 7},
        // Back to the value read: no change.
        {"hit_pts", {3}, Op::Set, "2500", {"2500"}, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(bulk(c.rows, c.key, c.op, c.operand), "");
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(cell(c.rows[i], c.key), c.shown[i]);
        }
        EXPECT_EQ(fleet.edits().changes().size(), c.changes);
    }
    EXPECT_TRUE(fleet.edits().edited(2, column("engine.linear_drag")));
    EXPECT_EQ(fleet.edits().sharing({0}, column("engine.linear_drag")),
              std::vector<std::string>{"Mod Shared Shield"});
    // Row 3 shares the engine of row 1.
    EXPECT_EQ(fleet.edits().shipCount(), 4u);

    const std::string review = fleet.reviewText();
    EXPECT_TRUE(
        review.starts_with("4 ships change.\nMod Gunship, Mod Freighter, Mod Shared Shield, "
                           "Mod Commented\n\n"))
        << review;
    EXPECT_NE(review.find("\n [Ship] mod_gunship\n-hold_size"), std::string::npos) << review;
    EXPECT_EQ(review.find("[Ship0]"), std::string::npos) << review;
    for (const char* line :
         {"-hold_size = 40  ; cargo\n+hold_size = 60.4  ; cargo\n",
          "-linear_drag = 135.6 ; fractional drag\n+linear_drag = 149.16 ; fractional drag\n",
          "-hit_pts = 2100 ; armour\n+hit_pts = 2200 ; armour\n",
          "-reverse_fraction = 0.2\n+reverse_fraction = 0.25\n"}) {
        EXPECT_NE(review.find(line), std::string::npos) << line << "\n" << review;
    }

    // Refused cells keep their value and say why.
    EXPECT_EQ(fleet.edits().set(0, column("hold_size"), "lots"), "'lots' is not a number");
    const std::string refused = bulk({3, 5}, "power.capacity", Op::Add, "1");
    EXPECT_NE(refused.find("Mod Commented: this value cannot be changed"), std::string::npos)
        << refused;
    EXPECT_FALSE(fleet.edits().set(0, column("engine_speed"), "400").empty());
    EXPECT_EQ(fleet.edits().changes().size(), 6u);
}

TEST_F(FleetTest, SaveWritesExactlyTheChangedLinesOfTwentyShips) {
    std::string ships = gameText("SHIPS/shiparch.ini");
    for (int i = 0; i < 24; ++i) {
        ships += "\r\n[Ship]\r\nnickname = gen_" + std::to_string(i) +
                 "\r\nhold_size = " + std::to_string(10 + i) + " ; generated\r\nhit_pts = 100\r\n";
    }
    writeBytes(gameFile("SHIPS/shiparch.ini"), ships);
    open();
    const std::string before = gameText("SHIPS/shiparch.ini");
    const std::string goods = gameText("Equipment/Goods.ini");
    std::vector<std::size_t> rows;
    for (std::size_t row = 8; row < 28; ++row) {
        rows.push_back(row);
    }
    ASSERT_EQ(bulk(rows, "hold_size", Op::Set, "60"), "");
    // Ships without a name go by their nickname.
    const auto names = changedShipNames(fleet.edits());
    ASSERT_EQ(names.size(), 20u);
    EXPECT_EQ(names.front(), "gen_2");
    EXPECT_EQ(names.back(), "gen_21");
    const std::size_t backups = editor->dataSet().backups().rows().size();
    ASSERT_TRUE(fleet.save());
    EXPECT_LE(editor->dataSet().backups().rows().size(), backups + 1);

    const auto beforeLines = splitLines(before);
    const auto afterLines = splitLines(gameText("SHIPS/shiparch.ini"));
    ASSERT_EQ(beforeLines.size(), afterLines.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < beforeLines.size(); ++i) {
        if (beforeLines[i] != afterLines[i]) {
            ++differing;
            EXPECT_EQ(afterLines[i], "hold_size = 60 ; generated");
        }
    }
    EXPECT_EQ(differing, 20u);
    EXPECT_EQ(gameText("Equipment/Goods.ini"), goods);
    // The table reads the saved values again, with no change pending.
    EXPECT_TRUE(fleet.edits().empty());
    EXPECT_EQ(cell(8, "hold_size"), "60");
    EXPECT_EQ(cell(7, "hold_size"), "11");
}

TEST_F(FleetTest, LevelColumnsEditTheSpecialLinesLikeTheShipPage) {
    open();
    const std::string before = gameText("SHIPS/shiparch.ini");
    EXPECT_EQ(fleet.edits().set(4, column("gun_level"), "2"),
              "the ship has no such special hardpoints");
    EXPECT_EQ(fleet.edits().set(0, column("gun_level"), "11"), "a level is 1 to 10");
    // The hardpoints at the highest level, 4, go to 5; those at 3 stay.
    ASSERT_EQ(bulk({0}, "gun_level", Op::Add, "1"), "");
    EXPECT_EQ(cell(0, "gun_level"), "5");
    const std::string added = "hp_type = hp_gun_special_5, HpWeapon05, HpWeapon06, HpWeapon07";
    EXPECT_NE(fleet.reviewText().find("+" + added), std::string::npos) << fleet.reviewText();
    ASSERT_TRUE(fleet.save());
    std::string expected = before;
    const std::string after4 = "hp_gun_special_4, HpWeapon05, HpWeapon06, HpWeapon07\n";
    expected.insert(expected.find(after4) + after4.size(), added + "\n");
    EXPECT_EQ(gameText("SHIPS/shiparch.ini"), expected);
    EXPECT_EQ(cell(0, "gun_level"), "5");
}

// Each cell keeps its own notation and precision: nothing is rounded to the column, a count
// stays whole, a value the key cannot hold stops the whole change, and a change that leaves a
// cell as it was says so.
TEST_F(FleetTest, ChangesKeepEachCellsDecimalsAndRefuseWhatTheKeyCannotHold) {
    std::string engines = gameText("Equipment/engine_equip.ini");
    engines.replace(engines.find("reverse_fraction = 0.15"), 23, "reverse_fraction = 0,15");
    writeBytes(gameFile("Equipment/engine_equip.ini"), engines);
    std::string ships = gameText("SHIPS/shiparch.ini");
    ships.replace(ships.find("hit_pts = 2500"), 14, "hit_pts = 1e19");
    ships.replace(ships.find("hit_pts = 3000"), 14, "hit_pts = 3000.5");
    writeBytes(gameFile("SHIPS/shiparch.ini"), ships);
    open();
    struct Case {
        const char* key;
        std::vector<std::size_t> rows;
        Op op;
        const char* operand;
        std::vector<std::string> shown; // per row after the change
        const char* message;            // a part of it; "" for none
    };
    const Case cases[] = {
        {"hit_pts", {0, 2}, Op::Add, "100", {"2200", "3100.5"}, ""},
        {"hold_size", {0, 1}, Op::Add, "0.5", {"40.5", ""}, "Mod Freighter: there is no value"},
        {"hold_size", {0}, Op::Set, "2.5", {"2.5"}, ""},
        {"engine.reverse_fraction", {1}, Op::Percent, "120", {"0.24"}, ""},
        {"engine.reverse_fraction", {0}, Op::Percent, "200", {"0,30"}, ""},
        {"engine.reverse_fraction", {0}, Op::Set, "0.4", {"0,4"}, ""},
        {"nanobot_limit", {0}, Op::Percent, "110", {"18"}, ""},
        {"nanobot_limit", {0}, Op::Set, "2.5", {"2"}, ""},
        {"hit_pts", {0, 1}, Op::Set, "2100", {"2100", "2100"}, "Mod Gunship: stays 2100"},
        {"mass", {0, 1}, Op::Set, "1e300", {"150.000000", ""}, "Nothing was changed"},
        {"hit_pts", {0, 3}, Op::Add, "100", {"2100", "1e19"}, "Mod Commented: the value '1e19'"},
        {"nanobot_limit", {0}, Op::Add, "3000000000", {"16"}, "whole number"},
        {"ship_ident_name", {0}, Op::Set, "a;b", {""}, "starts a comment"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.operand);
        fleet.edits().clear();
        std::vector<std::string> before;
        for (const std::size_t row : c.rows) {
            before.push_back(cell(row, c.key));
        }
        const std::string message = bulk(c.rows, c.key, c.op, c.operand);
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_EQ(message.empty(), std::string_view(c.message).empty()) << message;
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            // "": the cell as it was.
            EXPECT_EQ(cell(c.rows[i], c.key), c.shown[i].empty() ? before[i] : c.shown[i]);
        }
        if (message.starts_with("Nothing was changed")) {
            EXPECT_TRUE(fleet.edits().empty());
        }
    }
}

// A tractor column shows and changes the tractor the ship's package carries.
TEST_F(FleetTest, TractorColumnsFollowThePackage) {
    std::string goods = gameText("Equipment/Goods.ini");
    const std::string twoShields = "addon = mod_engine_whole, internal, 1\naddon = mod_power_01";
    goods.insert(goods.find(twoShields), "addon = mod_tractor_LONG, internal, 1\n");
    writeBytes(gameFile("Equipment/Goods.ini"), goods);
    const std::string misc = gameText("Equipment/misc_equip.ini") +
                             "\n[Tractor]\nnickname = mod_tractor_long\nmax_length = 3000 ; long\n"
                             "reach_speed = 1800\n";
    writeBytes(gameFile("Equipment/misc_equip.ini"), misc);
    open();
    // As the set numbered them.
    goods = gameText("Equipment/Goods.ini");
    std::string expected = gameText("Equipment/misc_equip.ini");
    EXPECT_EQ(cell(0, "tractor.max_length"), "1500");
    EXPECT_EQ(cell(1, "tractor.max_length"), "3000");
    EXPECT_EQ(cell(2, "tractor.max_length"), "");
    EXPECT_FALSE(fleet.edits().changeable(2, column("tractor.max_length")));
    ASSERT_EQ(fleet.edits().set(1, column("tractor.max_length"), "3500"), "");
    ASSERT_TRUE(fleet.save());
    expected.replace(expected.find("max_length = 3000"), 17, "max_length = 3500");
    EXPECT_EQ(gameText("Equipment/misc_equip.ini"), expected);
    EXPECT_EQ(gameText("Equipment/Goods.ini"), goods);
}

// Another program's change to a ship's special lines after the read is asked about for that
// ship: keeping the file's drops that ship's level change and writes the other ship's.
TEST_F(FleetTest, LevelsChangedOutsideAreAConflictOfThatShip) {
    open();
    ASSERT_EQ(fleet.edits().set(0, column("gun_level"), "5"), "");
    ASSERT_EQ(fleet.edits().set(1, column("turret_level"), "3"), "");
    std::string ships = gameText("SHIPS/shiparch.ini");
    const std::string line = "hp_gun_special_4, HpWeapon05, HpWeapon06, HpWeapon07";
    ships.replace(ships.find(line), line.size(), "hp_gun_special_4, HpWeapon05, HpWeapon06");
    writeBytes(gameFile("SHIPS/shiparch.ini"), ships);
    dialogs.choices = {1}; // Keep the file's
    ASSERT_TRUE(fleet.save());
    EXPECT_TRUE(std::any_of(dialogs.shown.begin(), dialogs.shown.end(), [](const auto& shown) {
        return shown.text.find("hardpoint levels of mod_gunship") != std::string::npos;
    }));
    const std::string after = gameText("SHIPS/shiparch.ini");
    EXPECT_NE(after.find("hp_gun_special_4, HpWeapon05, HpWeapon06\n"), std::string::npos);
    EXPECT_EQ(after.find("hp_gun_special_5"), std::string::npos);
    EXPECT_NE(after.find("hp_turret_special_3"), std::string::npos);
}

TEST_F(FleetTest, CsvRoundTripChangesNothingAndImportListsWhatItLeaves) {
    open();
    std::vector<std::size_t> rows;
    std::vector<std::size_t> columns;
    for (std::size_t row = 0; row < fleet.table().rows().size(); ++row) {
        rows.push_back(row);
    }
    for (std::size_t c = 0; c < fleetColumns().size(); ++c) {
        columns.push_back(c);
    }
    const std::string csv = fleetCsv(fleet.edits(), rows, columns);
    EXPECT_TRUE(csv.starts_with("nickname,name,type,ship_class,")) << csv.substr(0, 80);
    EXPECT_NE(csv.find("\"22000.000000, 22000.000000, 66000.000000\""), std::string::npos);
    const FleetImport same = importFleetCsv(fleet.edits(), csv);
    EXPECT_EQ(same.changed, 0u);
    EXPECT_EQ(same.problems, std::vector<std::string>{});
    EXPECT_TRUE(fleet.edits().empty());

    const FleetImport mixed = importFleetCsv(
        fleet.edits(), "hold_size,nickname,bogus\r\nabc,mod_gunship,1\r\n5,nope,1\r\n"
                       "\"77\",mod_two_shields,\r\n");
    EXPECT_EQ(mixed.changed, 1u);
    EXPECT_EQ(mixed.problems,
              (std::vector<std::string>{"line 1: unknown column 'bogus'",
                                        "line 3: unknown nickname 'nope'",
                                        "line 2, column hold_size: 'abc' is not a number"}));
    EXPECT_EQ(cell(1, "hold_size"), "77");
    EXPECT_EQ(cell(0, "hold_size"), "40");
}

// The Ship page's fields and the Fleet page's cells are one document: one save writes both,
// after one review, and closing the set asks about both.
TEST_F(FleetTest, ShipPageAndFleetChangesAreOneDocument) {
    open();
    click(0);
    form.setText("edPanzerung", "9999");
    editor->markChanged();
    ASSERT_EQ(fleet.edits().set(1, column("hold_size"), "41"), "");
    EXPECT_TRUE(editor->documentChanged());
    ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
    ASSERT_EQ(dialogs.reviewsShown.size(), 1u);
    const std::string& review = dialogs.reviewsShown.front();
    EXPECT_NE(review.find("+hit_pts = 9999"), std::string::npos) << review;
    EXPECT_NE(review.find("+hold_size = 41"), std::string::npos) << review;
    const std::string ships = gameText("SHIPS/shiparch.ini");
    EXPECT_NE(ships.find("hit_pts = 9999"), std::string::npos);
    EXPECT_NE(ships.find("hold_size = 41"), std::string::npos);
    EXPECT_TRUE(fleet.edits().empty());

    // Pending Fleet changes alone ask before the set is closed.
    ASSERT_EQ(fleet.edits().set(0, column("hold_size"), "42"), "");
    dialogs.answers = {Answer::No};
    editor->btCloseSetClick();
    EXPECT_TRUE(editor->dataSet().isOpen());
    EXPECT_FALSE(fleet.edits().empty());
    dialogs.answers = {Answer::Yes};
    editor->btCloseSetClick();
    EXPECT_FALSE(editor->dataSet().isOpen());
    EXPECT_TRUE(fleet.edits().empty());
}

TEST(FleetReview, ListsTheFirstNamesAndCountsTheRest) {
    const std::vector<std::string> three = {"Defender", "li_elite", "Rhino"};
    EXPECT_EQ(listOfNames({}), "");
    EXPECT_EQ(listOfNames(three), "Defender, li_elite, Rhino");
    EXPECT_EQ(listOfNames(three, 3), "Defender, li_elite, Rhino");
    EXPECT_EQ(listOfNames(three, 1), "Defender and 2 more");
}

// Undo texts and column headers name a field as the user reads it, never by its control.
TEST(FieldLabels, EveryFieldOfTheTableHasACaption) {
    for (const ShipField& field : shipFields()) {
        const std::string label = fieldLabel(field.field);
        EXPECT_FALSE(label.empty()) << field.field;
        EXPECT_EQ(controls::find(label), nullptr) << field.field << ": " << label;
    }
    EXPECT_EQ(fieldLabel(controls::edPanzerung), "Hit points");
    EXPECT_EQ(fieldLabel(controls::edStartingMoney), "Starting money");
    EXPECT_EQ(fieldLabel(controls::btSave), "");
}

} // namespace
} // namespace skarvel::test
