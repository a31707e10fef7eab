#include "EditorSession.h"

namespace skarvel::test {
namespace {

using EditorTest = EditorSession;

constexpr const char* kReloadQuestion =
    "IF YOU RELOAD THE VALUES OUT OF THE INI FILES, ALL UNSAVED CHANGES GET LOST !\n\rDo you "
    "realy want to reload the values ?";
constexpr const char* kShipChangeQuestion =
    "There are unsaved changes. Do you want to save them now ? - otherwise they will get lost !";

TEST_F(EditorTest, FirstReloadOpensTheSetAndPutsTheShipPageInFront) {
    editor->btRelloadClick();
    EXPECT_TRUE(editor->dataSet().isOpen());
    EXPECT_TRUE(editor->shipListArmed());
    EXPECT_EQ(form.pagesShown, (std::vector<std::string>{"Extended", "Ship"}));
    EXPECT_EQ(form.selectedIndex("lbShips"), 0);
    EXPECT_TRUE(dialogs.shown.empty());

    const auto all = lines();
    const auto first =
        std::find(all.begin(), all.end(), toCp1252("[System ] Daten sollen geöffnet werden"));
    ASSERT_NE(first, all.end());
    EXPECT_EQ(std::vector<std::string>(first + 1, first + 4),
              (std::vector<std::string>{"[Begin  ] CLOSE_INI_FILES", "[Error  ] Inis arent open",
                                        "[End    ] CLOSE_INI_FILES - Elapsed time: 00:00:00"}));
    const auto load = std::find(all.begin(), all.end(), "[Begin  ] LOAD_INI_VALUES");
    ASSERT_NE(load, all.end());
    EXPECT_EQ(*(load - 1), "[Info   ] INIS OPEN = True");
}

TEST_F(EditorTest, ReloadWithMissingGameFolderLeavesTheListUnarmed) {
    form.setText("edPfad", (tmp.path() / "nowhere").string() + "/");
    editor->btRelloadClick();
    EXPECT_FALSE(editor->dataSet().isOpen());
    EXPECT_FALSE(editor->shipListArmed());
    // The refusal sends the user to the folder; the reload then shows its pages as always.
    EXPECT_EQ(form.pagesShown, (std::vector<std::string>{"Options", "Extended", "Ship"}));
    EXPECT_EQ(form.focused, "edPfad");
    const auto all = lines();
    EXPECT_TRUE(contains(all, "[Error  ] INIS sind nicht geöffnet - ABBRUCH"));
}

TEST_F(EditorTest, ReloadQuestionAnsweredNoKeepsEverything) {
    editor->btRelloadClick();
    click(2);
    editor->markChanged();
    const auto from = mark();
    dialogs.answers.push_back(Answer::No);
    editor->btRelloadClick();

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(dialogs.shown[0].text, kReloadQuestion);
    EXPECT_EQ(linesSince(from), cp1252({"[System ] Daten sollen geöffnet werden",
                                        "[Info   ] Es sind noch Daten geöffnet",
                                        "[System ] NEIN - Daten sollen nicht geladen werden"}));
    EXPECT_TRUE(editor->valuesChanged());
    EXPECT_EQ(form.text("edPanzerung"), "1200");
    EXPECT_EQ(editor->shipIndex(), 2);
    EXPECT_TRUE(editor->shipLoaded());
    EXPECT_EQ(form.selectedIndex("lbShips"), 2); // the list still shows the ship shown
}

TEST_F(EditorTest, ReloadQuestionAnsweredYesForgetsTheShownShip) {
    editor->btRelloadClick();
    click(2);
    form.setText("edPanzerung", "9999");
    editor->markChanged();
    dialogs.answers.push_back(Answer::Yes);
    const auto from = mark();
    editor->btRelloadClick();

    const auto reloaded = linesSince(from);
    EXPECT_TRUE(contains(reloaded, "[System ] Daten sollen trotzdem geladen werden"));
    EXPECT_TRUE(contains(reloaded, "[Info   ] CLEAR_ALL_VALUES - Gui Felder löschen"));
    EXPECT_FALSE(editor->valuesChanged());
    EXPECT_FALSE(editor->shipLoaded());
    EXPECT_EQ(editor->shipIndex(), 0);
    EXPECT_EQ(form.text("edPanzerung"), "");
    EXPECT_EQ(form.text("labEngine"), "ENGINE");
    for (const char* level : {"edWeaponHPLevel", "edTurretHpLevel", "edShieldHPLevel"}) {
        EXPECT_EQ(form.text(level), "") << level; // no level of the ship shown before
    }
    EXPECT_FALSE(form.isEnabled("btSave"));
    // Nothing was saved.
    EXPECT_EQ(gameText("Ships/shiparch.ini").find("9999"), std::string::npos);
}

TEST_F(EditorTest, ShipChangeAnsweredNoDropsTheEdits) {
    editor->btRelloadClick();
    click(0);
    form.setText("edPanzerung", "5000");
    editor->markChanged();
    const std::string before = gameText("Ships/shiparch.ini");
    const auto from = mark();
    dialogs.answers.push_back(Answer::No);
    click(2);

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(dialogs.shown[0].text, kShipChangeQuestion);
    const auto clicked = linesSince(from);
    EXPECT_EQ(std::vector<std::string>(clicked.begin(), clicked.begin() + 3),
              cp1252({"[Begin  ] LB_SHIPS_CLICKED",
                      "[Warning] Es wurden Werte verändert -> nach speichern fragen",
                      "[Action ] NEIN - Änderungen verworfen"}));
    EXPECT_EQ(gameText("Ships/shiparch.ini"), before);
    EXPECT_FALSE(editor->valuesChanged());
    EXPECT_EQ(form.text("edPanzerung"), "1200");
    EXPECT_TRUE(form.isEnabled("btSave"));
}

TEST_F(EditorTest, ShipChangeAnsweredYesSavesTheShownShipUnderItsOwnSections) {
    editor->btRelloadClick();
    click(0);
    form.setText("edPanzerung", "5000");
    form.setText("edEngineMaxForce", "72000");
    editor->markChanged();
    dialogs.answers.push_back(Answer::Yes);
    click(2);

    const std::string shipArch = gameText("Ships/shiparch.ini");
    const auto ship0 = shipArch.find("[Ship0]");
    const auto ship1 = shipArch.find("[Ship1]");
    const auto written = shipArch.find("hit_pts = 5000");
    ASSERT_NE(written, std::string::npos);
    EXPECT_GT(written, ship0);
    EXPECT_LT(written, ship1);
    const std::string engines = gameText("Equipment/engine_equip.ini");
    EXPECT_NE(engines.find("nickname = ge_le_engine_01\nmax_force = 72000"), std::string::npos);
    EXPECT_TRUE(contains(lines(), "[Action ] JA - Werte sollen gespeichert werden"));
    // Then the clicked ship is loaded.
    EXPECT_EQ(editor->shipIndex(), 2);
    EXPECT_EQ(form.text("edPanzerung"), "1200");
    EXPECT_FALSE(editor->valuesChanged());
}

TEST_F(EditorTest, StartingBaseChangeMarksTheDataChanged) {
    editor->btRelloadClick();
    const auto from = mark();
    editor->cbStartingBaseChange();
    EXPECT_TRUE(editor->valuesChanged());
    EXPECT_TRUE(form.isEnabled("btSave"));
    EXPECT_EQ(linesSince(from), (std::vector<std::string>{"[System ] VALUE CHANGED"}));
}

TEST_F(EditorTest, ClickAfterTheSetWasClosedAddressesNothing) {
    editor->btRelloadClick();
    click(0);
    editor->CloseIniFiles();
    const auto from = mark();
    click(2);
    EXPECT_EQ(linesSince(from),
              cp1252({"[Begin  ] LB_SHIPS_CLICKED", "[Error  ] INIS sind nicht geöffnet - ABBRUCH",
                      "[End    ] LB_SHIPS_CLICKED - Elapsed time: 00:00:00"}));
    EXPECT_EQ(form.text("edPanzerung"), "3400");
    EXPECT_EQ(form.selectedIndex("lbShips"), 0);
}

TEST_F(EditorTest, ShipChangeWhoseSaveFailsLeavesTheListOnTheShownShip) {
    editor->btRelloadClick();
    click(0);
    form.setText("edShipPrice", "13000");
    editor->markChanged();
    std::filesystem::permissions(gameFile("Equipment/goods.ini"),
                                 std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    dialogs.answers.push_back(Answer::Yes);
    EXPECT_THROW(click(2), std::runtime_error);
    EXPECT_EQ(form.selectedIndex("lbShips"), 0);
    EXPECT_EQ(form.text("edShipNickName"), "li_fighter");
    EXPECT_EQ(editor->shipIndex(), 0);
}

} // namespace
} // namespace skarvel::test
