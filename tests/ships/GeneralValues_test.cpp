#include "EditorSession.h"
#include "support/Errors.h"

namespace skarvel::test {
namespace {

using GeneralValuesTest = EditorSession;

void replaceIn(const std::filesystem::path& file, const std::string& from, const std::string& to) {
    std::string text = readBytes(file);
    const auto pos = text.find(from);
    ASSERT_NE(pos, std::string::npos) << from;
    text.replace(pos, from.size(), to);
    writeBytes(file, text);
}

TEST_F(GeneralValuesTest, OpenFillsTheGeneralFieldsAndTheBaseList) {
    editor->btRelloadClick();
    EXPECT_EQ(form.text("edMaxSpeed"), "350");
    EXPECT_EQ(form.text("edCruiseSpeed"), "300");
    EXPECT_EQ(form.text("edCruiseDisruptTime"), "5");
    EXPECT_EQ(form.text("edMaxLootPerAstroid"), "3");
    EXPECT_EQ(form.text("edHullUnitsPerItem"), "200");
    EXPECT_EQ(form.text("edShieldUnitsPerItem"), "300");
    EXPECT_EQ(form.text("edStartingMoney"), "2000");
    EXPECT_EQ(form.text("edTradeLaneSpeed"), "");
    EXPECT_EQ(form.items("cbStartingBase"),
              (std::vector<std::string>{"Planet Manhattan", "Freeport 1", "Planet Tokyo"}));
    // newcharacter.ini names the base in lower case.
    EXPECT_EQ(form.selectedIndex("cbStartingBase"), 0);

    const auto all = lines();
    const auto load = std::find(all.begin(), all.end(), "[Begin  ] LOAD_INI_VALUES");
    ASSERT_NE(load, all.end());
    EXPECT_EQ(std::vector<std::string>(load, load + 3),
              cp1252({"[Begin  ] LOAD_INI_VALUES",
                      "[Info   ] INIS sind geöffnet und Werte werden geladen",
                      "[End    ] LOAD_INI_VALUES - Elapsed time: 00:00:00"}));
}

TEST_F(GeneralValuesTest, BaseIsFoundWhateverTheCaseOfNicknameAndName) {
    replaceIn(gameFile("Characters/newcharacter.ini"), "base = li01_01_base",
              "base = KU01_01_BASE");
    replaceIn(tmp.path() / "program/resource.ini", "Ku01_01_Base = Planet Tokyo",
              "Ku01_01_Base = PLANET tokyo");
    editor->btRelloadClick();
    EXPECT_EQ(form.selectedIndex("cbStartingBase"), 2);
}

TEST_F(GeneralValuesTest, NoBaseSelectedByTheUserWritesTheDefault) {
    replaceIn(gameFile("Characters/newcharacter.ini"), "base = li01_01_base", "base = ");
    editor->btRelloadClick();
    EXPECT_EQ(form.selectedIndex("cbStartingBase"), -1);
    form.setSelectedIndex("cbStartingBase", -1);
    editor->cbStartingBaseChange();
    saveByButton();
    editor->CloseIniFiles();
    EXPECT_NE(gameText("Characters/newcharacter.ini").find("base = LI01_01_Base"),
              std::string::npos);
}

TEST_F(GeneralValuesTest, LoadingClearsTheChangeMarkAndRefusesAClosedSet) {
    editor->LOAD_INI_VALUES();
    EXPECT_EQ(lines().back(), "[End    ] LOAD_INI_VALUES - Elapsed time: 00:00:00");
    EXPECT_TRUE(contains(lines(), "[Error  ] INIS sind nicht geöffnet - ABBRUCH"));
    editor->markChanged();
    editor->LOAD_INI_VALUES();
    EXPECT_TRUE(editor->valuesChanged()); // nothing was loaded

    dialogs.answers.push_back(Answer::Yes); // reload anyway
    editor->btRelloadClick();
    EXPECT_FALSE(editor->valuesChanged());
    editor->markChanged();
    editor->LOAD_INI_VALUES();
    EXPECT_FALSE(editor->valuesChanged());
}

TEST_F(GeneralValuesTest, SaveWritesTheChangedGeneralKeysAndSkipsEmptyFields) {
    editor->btRelloadClick();
    form.setText("edMaxSpeed", "400");
    form.setText("edStartingMoney", ""); // cleared by the user
    form.setSelectedIndex("cbStartingBase", 2);
    editor->cbStartingBaseChange();
    const auto from = mark();
    editor->SAVE_INI_VALUES();
    const auto saved = linesSince(from);
    const auto general =
        std::find(saved.begin(), saved.end(), toCp1252("[Info   ] Werte für GENERAL"));
    ASSERT_NE(general, saved.end());
    EXPECT_EQ(
        std::vector<std::string>(general, general + 5),
        cp1252({
            "[Info   ] Werte für GENERAL",
            "[Data   ] TUserIniFile_WRITE_STRING - [PhySysConsts] ANOM_LIMITS_MAX_VELOCITY = 400",
            "[Info   ] Werte für NEWCHARACTER",
            "[Data   ] TUserIniFile_WRITE_STRING - [Faction] base = Ku01_01_Base",
            "[Info   ] Werte für CONSTANTS",
        }));
    EXPECT_NE(gameText("constants.ini").find("ANOM_LIMITS_MAX_VELOCITY = 400"), std::string::npos);
    EXPECT_NE(gameText("Characters/newcharacter.ini").find("money = 2000"), std::string::npos);
}

TEST_F(GeneralValuesTest, ValueOfASectionTheFileLacksStopsTheSave) {
    replaceIn(gameFile("constants.ini"), "[AsteroidConsts]\nMAX_LOOT_PER_ASTEROID = 3\n", "");
    editor->btRelloadClick();
    EXPECT_EQ(form.text("edMaxLootPerAstroid"), "");
    form.setText("edMaxLootPerAstroid", "7");
    form.setText("edMaxSpeed", "390");
    const std::string before = gameText("constants.ini");
    EXPECT_NE(test::errorOf<std::runtime_error>([&] {
                  editor->SAVE_INI_VALUES();
              }).find("there is no [AsteroidConsts] section (MAX_LOOT_PER_ASTEROID)"),
              std::string::npos);
    EXPECT_EQ(gameText("constants.ini"), before);
}

} // namespace
} // namespace skarvel::test
