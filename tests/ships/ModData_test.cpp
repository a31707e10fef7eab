// The test of every write on data shaped like real mods: a file the user did not change
// stays byte for byte as it was.
#include "EditorSession.h"
#include "gamedata/TextLines.h"

#include <functional>

namespace skarvel::test {
namespace {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string toLf(const std::string& text) {
    return replaceAll(text, "\r\n", "\n");
}

// The same data with the line ends of another kind of mod.
struct Variant {
    const char* name;
    std::function<std::string(const std::string&)> reshape;
};

const Variant kVariants[] = {
    {"MixedLineEnds", [](const std::string& text) { return text; }},
    {"LfWithoutFinalLineEnd",
     [](const std::string& text) {
         std::string lf = toLf(text);
         while (!lf.empty() && lf.back() == '\n') {
             lf.pop_back();
         }
         return lf;
     }},
    {"CrLf", [](const std::string& text) { return replaceAll(toLf(text), "\n", "\r\n"); }},
    {"ByteOrderMark", [](const std::string& text) { return "\xEF\xBB\xBF" + text; }},
};

class ModData : public EditorSession, public ::testing::WithParamInterface<Variant> {
protected:
    ModData() : EditorSession("game-mod") {
        for (const auto& relative : kDataFiles) {
            writeBytes(gameFile(relative), GetParam().reshape(gameText(relative)));
        }
        before = gameFiles();
    }

    int shipCount() const { return static_cast<int>(form.items("lbShips").size()); }
    void open() {
        editor->btRelloadClick();
        ASSERT_TRUE(editor->dataSet().isOpen());
        ASSERT_EQ(shipCount(), 6);
    }

    std::vector<std::string> before;
};

TEST_P(ModData, OpenClickingEveryShipAndCloseKeepEveryByte) {
    open();
    for (int ship = 0; ship < shipCount(); ++ship) {
        click(ship);
        if (ship == 0) { // behind a byte order mark too
            EXPECT_EQ(form.items("cbWeaponHP").size(), 7u);
        }
        EXPECT_TRUE(editor->shipLoaded()) << ship;
        EXPECT_TRUE(form.isEnabled("btSave")) << ship;
    }
    editor->CloseIniFiles();
    EXPECT_EQ(gameFiles(), before);
}

TEST_P(ModData, UnchangedSaveOfEveryShipKeepsEveryByteAndClaimsNoWrite) {
    open();
    for (int ship = 0; ship < shipCount(); ++ship) {
        click(ship);
        const auto from = mark();
        EXPECT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::NothingChanged) << ship;
        for (const auto& line : linesSince(from)) {
            EXPECT_EQ(line.find("WRITE_STRING"), std::string::npos) << ship << ": " << line;
        }
    }
    editor->CloseIniFiles();
    EXPECT_EQ(gameFiles(), before);
    // Nothing was written, so no copy was made either.
    EXPECT_FALSE(std::filesystem::exists(tmp.path() / "program/data"));
}

INSTANTIATE_TEST_SUITE_P(LineEnds, ModData, ::testing::ValuesIn(kVariants),
                         [](const auto& test) { return std::string(test.param.name); });

class ModEdits : public EditorSession {
protected:
    ModEdits() : EditorSession("game-mod") {}
    void openAndClick(int ship) {
        editor->btRelloadClick();
        click(ship);
    }
    void pickGun(const std::string& hardpoint, const std::string& level) {
        const auto items = form.items("cbWeaponHP");
        const auto found = std::find(items.begin(), items.end(), hardpoint);
        ASSERT_NE(found, items.end()) << hardpoint;
        form.setSelectedIndex("cbWeaponHP", static_cast<int>(found - items.begin()));
        editor->hardpoints().cbWeaponHPChange();
        form.setText("edWeaponHPLevel", level);
        editor->hardpoints().edWeaponHPLevelChange();
    }
};

TEST_F(ModEdits, RaisedGunAndHitPointsChangeExactlyTheirLines) {
    const std::string shipArch = gameText("Ships/shiparch.ini");
    const std::string goods = gameText("Equipment/goods.ini");
    openAndClick(0);
    EXPECT_EQ(form.text("edMasse"), "150.000000");
    pickGun("HpWeapon05", "5");
    form.setText("edPanzerung", "2500");
    editor->SAVE_INI_VALUES();
    editor->CloseIniFiles();

    // The hit points in place, and one line of the next class after the one below it.
    std::string expected =
        replaceAll(shipArch, "hit_pts = 2100 ; armour", "hit_pts = 2500 ; armour");
    expected = replaceAll(expected, "HpWeapon07\n",
                          "HpWeapon07\nhp_type = hp_gun_special_5, HpWeapon05\n");
    EXPECT_EQ(gameText("Ships/shiparch.ini"), expected);
    EXPECT_EQ(gameText("Equipment/goods.ini"), goods);
}

TEST_F(ModEdits, AStartingBaseUnknownToResourceIniIsShownAndKept) {
    const std::string newCharacter = gameText("Characters/newcharacter.ini");
    openAndClick(0);
    const auto bases = form.items("cbStartingBase");
    ASSERT_FALSE(bases.empty());
    EXPECT_EQ(bases.back(), "xx01_01_base");
    EXPECT_EQ(form.selectedIndex("cbStartingBase"), static_cast<int>(bases.size()) - 1);
    form.setText("edStartingMoney", "6000");
    editor->SAVE_INI_VALUES();
    editor->CloseIniFiles();
    EXPECT_EQ(gameText("Characters/newcharacter.ini"),
              replaceAll(newCharacter, "money = 5000", "money = 6000"));

    // Picked on the page, another base is written in place, comment kept.
    editor->btRelloadClick();
    form.setSelectedIndex("cbStartingBase", 1);
    editor->cbStartingBaseChange();
    editor->SAVE_INI_VALUES();
    editor->CloseIniFiles();
    EXPECT_NE(
        gameText("Characters/newcharacter.ini").find("base = Li01_09_Base ; a base of the mod"),
        std::string::npos);
}

} // namespace
} // namespace skarvel::test
