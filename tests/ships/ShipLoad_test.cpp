#include "EditorSession.h"
#include "ships/Numbers.h"

#include <iterator>
#include <map>

namespace skarvel::test {
namespace {

class ShipLoadTest : public EditorSession {
protected:
    ShipLoadTest() { editor->btRelloadClick(); }

    void expectFields(const std::map<std::string, std::string>& expected) {
        for (const auto& [field, text] : expected) {
            EXPECT_EQ(form.text(field), text) << field;
        }
    }
};

TEST_F(ShipLoadTest, ListShowsEveryShipByItsDisplayName) {
    EXPECT_EQ(form.items("lbShips"),
              (std::vector<std::string>{"Liberty Light Fighter", "Unknown Ship (editable)",
                                        "Kusari Drone"}));
    EXPECT_EQ(form.selectedIndex("lbShips"), 0);
    EXPECT_TRUE(editor->shipListArmed());
    // Selecting by the program loads nothing.
    EXPECT_EQ(form.text("edPanzerung"), "");
}

TEST_F(ShipLoadTest, ShipWithEverythingFoundFillsEveryFieldAndLabel) {
    const auto from = mark();
    click(0);

    // Every value as the file writes it, decimal points and commas alike.
    expectFields({
        {"edIdsName", "237033"},
        {"edShipRealName", "Liberty Light Fighter"},
        {"edPanzerung", "3400"},
        {"edNanobot", "20"},
        {"edShield", "20"},
        {"edMasse", "125.000000"},
        {"edHoldsize", "30"},
        {"edShipName", "Defender"},
        {"edShipNickName", "li_fighter"},
        {"edShipLevel", "0"},
        {"edMAxBankAngel", "30"},
        {"edLinearDrag", "1.000000"},
        {"edCameraOffset", "8, 30"},
        {"edCameraAngularAccel", "0.050000"},
        {"edCameraHorTurnAngle", "12.5"},
        {"edVerUpTurnAngle", "6"},
        {"edVerDownTurnAngle", "20"},
        {"edLODRanges", "0, 75, 150, 1300"},
        {"edSteeringTorque", "24000.000000, 24000.000000, 57600.000000"},
        {"edRotationInertia", "2800.000000, 2800.000000, 1000.000000"},
        {"edAngularDrag", "20000.000000, 20000.000000, 28800.000000"},
        {"edShipPrice", "12000"},
        {"edTractorRange", "1500"},
        {"edTractorSpeed", "650"},
        {"edPowerMasse", "10"},
        {"edPowerCapacity", "800"},
        {"edPowerRegen", "130"},
        {"edThrusterCapacity", "400"},
        {"edThrusterChargeRate", "60"},
        {"edEngineMaxForce", "60000"},
        {"edEngineLinearDrag", "600"},
        {"edReverseFraction", "0.15"},
        {"edCruisePowerUsage", "0.3"},
        {"edCruiseChargeTime", "5"},
        {"edEngineSpeed", "100"},
        {"edReverseSpeed", "15"},
        {"labEngine", "ENGINE :: [ge_le_engine_01]"},
        {"labPower", "POWER :: [ge_le_power_01]"},
        {"labTractor", "TRACTOR BEAM :: [ge_s_tractor_01]"},
        {"labScanner", "SCANNER :: [ge_s_scanner_01]"},
    });
    EXPECT_EQ(editor->shipIndex(), 0);
    EXPECT_EQ(editor->hullGoodIndex(), 1);
    EXPECT_EQ(editor->packageGoodIndex(), 2);
    EXPECT_EQ(editor->powerIndex(), 1);
    EXPECT_EQ(editor->engineIndex(), 1);
    EXPECT_TRUE(form.isEnabled("btSave"));
    EXPECT_EQ(form.items("cbWeaponHP").size(), 3u);

    const auto clicked = linesSince(from);
    const auto hardpoints =
        std::find(clicked.begin(), clicked.end(), "[Begin  ] HardpointWerte laden");
    ASSERT_NE(hardpoints, clicked.end());
    EXPECT_EQ(std::vector<std::string>(clicked.begin(), hardpoints),
              cp1252({
                  "[Begin  ] LB_SHIPS_CLICKED",
                  "[Info   ] CLEAR_ALL_VALUES - Gui Felder löschen",
                  "[Data   ] Gewähltes Schiff: lbIndex=0 IDS_Name=237033 "
                  "RealName=Liberty Light Fighter",
                  "[Info   ] Ship Values auslesen",
                  "[Info   ] Ship Extended Values auslesen",
                  "[Info   ] Handling Values auslesen",
                  "[Info   ] Schiffshülle suchen",
                  "[Data   ] Gefundene Schiffshülle: li_fighter_hull ",
                  "[Info   ] Engine/ Power Name suchen",
                  "[Data   ] Engine = ge_le_engine_01 / Power = ge_le_power_01 / "
                  "Scanner = ge_s_scanner_01 / Tractor = ge_s_tractor_01 ",
                  "[Info   ] Den passenden Eintrag für den Powergenerator finden",
                  "[Info   ] Den passenden Eintrag für die Engine finden",
                  "[Begin  ] Engine Gui Values eintragen",
                  "[End    ] Engine Gui Values eintragen - Elapsed time: 00:00:00",
              }));
    EXPECT_EQ(clicked.back(), "[End    ] LB_SHIPS_CLICKED - Elapsed time: 00:00:00");
}

// The second ship has no ids_name, a nickname that differs from its hull good's only in
// case, and so no hull: the empty hull name matches the first good without a Hull key,
// whose lines name the equipment; its engine has no max_force.
TEST_F(ShipLoadTest, ShipWithoutHullTakesTheFirstGoodWithoutHullAndLeavesTheSpeedEmpty) {
    const auto from = mark();
    click(1);

    expectFields({
        {"edIdsName", "*fail"},
        {"edShipRealName", "Unknown Ship (editable)"},
        {"edShipNickName", "LI_Elite"},
        {"edPanzerung", "4200"},
        {"edShipPrice", ""},
        // "addon = xx_engine_power" names both; "XX_Power_02" and a line without "=" name
        // nothing.
        {"labEngine", "ENGINE :: [xx_engine_power]"},
        {"labPower", "POWER :: [xx_engine_power]"},
        {"labScanner", "SCANNER :: []"},
        {"labTractor", "TRACTOR BEAM :: []"},
        {"edPowerCapacity", ""},
        {"edEngineMaxForce", ""},
        {"edEngineLinearDrag", "600"},
        {"edReverseFraction", "0.2"},
        {"edEngineSpeed", ""},
        {"edReverseSpeed", ""},
    });
    EXPECT_EQ(editor->hullGoodIndex(), 6); // the number of goods
    EXPECT_EQ(editor->packageGoodIndex(), 0);
    EXPECT_EQ(editor->powerIndex(), -1);
    EXPECT_EQ(editor->engineIndex(), 2);
    EXPECT_TRUE(form.isEnabled("btSave"));
    const auto clicked = linesSince(from);
    EXPECT_TRUE(contains(clicked, "[Data   ] Gefundene Schiffshülle:  "));
    EXPECT_TRUE(contains(clicked, "[Begin  ] HardpointWerte laden"));
    EXPECT_EQ(clicked.back(), "[End    ] LB_SHIPS_CLICKED - Elapsed time: 00:00:00");
}

// Engines as mods write them. The drone's engine is rewritten before the set is opened again.
TEST_F(ShipLoadTest, EngineValuesThatGiveNoSpeedLeaveItEmptyAndTheLoadGoesOn) {
    struct Case {
        std::string lines; // max_force, linear_drag and reverse_fraction of ku_engine_02
        std::string speed, reverse;
        std::string warning; // empty: none
    };
    const std::string speedFault = "[Warning] Engine ku_engine_02: Geschwindigkeit nicht "
                                   "berechenbar - ";
    const Case cases[] = {
        {"max_force = 27120\nlinear_drag = 135.6\nreverse_fraction = 0.25\n", "200", "50", ""},
        {"max_force = 27120.0\nlinear_drag = 135,6\nreverse_fraction = 0,25\n", "200", "50", ""},
        {"max_force = 25\nlinear_drag = 0\nreverse_fraction = 0.5\n", "", "",
         speedFault + "linear_drag ist 0"},
        {"linear_drag = 2\nreverse_fraction = 0.5\n", "", "", speedFault + "max_force fehlt"},
        {"max_force = 25\nreverse_fraction = 0.5\n", "", "", speedFault + "linear_drag fehlt"},
        {"max_force = lots\nlinear_drag = 2\nreverse_fraction = 0.5\n", "", "",
         speedFault + "max_force 'lots' ist keine Zahl"},
        {"max_force = 25\nlinear_drag = 2\n", "12", "",
         "[Warning] Engine ku_engine_02: Rückwärtsgeschwindigkeit nicht berechenbar - "
         "reverse_fraction fehlt"},
    };
    const std::string original = gameText("Equipment/engine_equip.ini");
    const std::string stored = "max_force = 25\nlinear_drag = 2\nreverse_fraction = 0.5\n";
    ASSERT_NE(original.find(stored), std::string::npos);
    for (const Case& c : cases) {
        std::string engines = original;
        engines.replace(engines.find(stored), stored.size(), c.lines);
        writeBytes(gameFile("Equipment/engine_equip.ini"), engines);
        editor->btRelloadClick();
        const auto from = mark();
        click(2);

        const auto clicked = linesSince(from);
        EXPECT_EQ(form.text("edEngineSpeed"), c.speed) << c.lines;
        EXPECT_EQ(form.text("edReverseSpeed"), c.reverse) << c.lines;
        std::vector<std::string> warnings;
        std::copy_if(clicked.begin(), clicked.end(), std::back_inserter(warnings),
                     [](const std::string& line) { return line.starts_with("[Warning]"); });
        EXPECT_EQ(warnings, c.warning.empty() ? std::vector<std::string>{} : cp1252({c.warning}))
            << c.lines;
        EXPECT_TRUE(contains(clicked, "[Begin  ] HardpointWerte laden")) << c.lines;
        EXPECT_EQ(clicked.back(), "[End    ] LB_SHIPS_CLICKED - Elapsed time: 00:00:00");
        EXPECT_TRUE(form.isEnabled("btSave")) << c.lines;
    }
    // Shown as the file writes them, and so saved.
    EXPECT_EQ(form.text("edEngineMaxForce"), "25");
    form.setText("edEngineLinearDrag", "1,5");
    saveByButton();
    EXPECT_NE(gameText("Equipment/engine_equip.ini").find("max_force = 25\nlinear_drag = 1.5\n"),
              std::string::npos);
}

TEST_F(ShipLoadTest, HalfSpeedRoundsToEvenAndListsStayAsStored) {
    click(2);
    expectFields({
        {"edEngineMaxForce", "25"},
        {"edEngineLinearDrag", "2"},
        {"edEngineSpeed", "12"},
        {"edReverseSpeed", "6"},
        {"edCameraOffset", "0.5, 10"},
        {"labPower", "POWER :: []"},
        {"edPowerCapacity", ""},
    });
    EXPECT_EQ(editor->powerIndex(), -1);
    EXPECT_EQ(editor->engineIndex(), 0);
}

TEST_F(ShipLoadTest, NextShipClearsTheFieldsTheFirstFilled) {
    click(0);
    click(1);
    EXPECT_EQ(form.text("edShipPrice"), "");
    EXPECT_EQ(form.text("edPowerMasse"), "");
    EXPECT_EQ(form.text("edCruiseChargeTime"), "");
    EXPECT_EQ(form.text("edEngineSpeed"), "");
    EXPECT_EQ(form.text("edLODRanges"), "0, 80, 160, 1500");
    EXPECT_EQ(form.text("edTractorRange"), "1500"); // the first Tractor section, always
}

TEST_F(ShipLoadTest, ClickOnUnarmedListDoesNothing) {
    Editor fresh(*journal, form, dialogs, programFolder(), [] { return false; });
    const auto from = mark();
    form.setItems("lbShips", {"one"});
    form.setSelectedIndex("lbShips", 0);
    fresh.lbShipsClick();
    EXPECT_TRUE(linesSince(from).empty());
    EXPECT_EQ(form.text("edIdsName"), "");
}

TEST_F(ShipLoadTest, ClickWithoutSelectionEndsWithAnIndexError) {
    form.setSelectedIndex("lbShips", -1);
    EXPECT_THROW(editor->lbShipsClick(), std::out_of_range);
    EXPECT_EQ(editor->shipIndex(), -1);
    EXPECT_FALSE(editor->shipLoaded());
}

} // namespace
} // namespace skarvel::test
