#include "EditorSession.h"
#include "support/Errors.h"
#include "support/Golden.h"

#include <functional>

namespace skarvel::test {
namespace {

// Real mod files in odd shapes (tests/data/odd-shapes/<shape>: the files that differ from
// the test game), each loaded, edited once and saved: the one file that changes must equal
// its golden (expected/), where exactly the edited value's lines differ; every other file
// keeps every byte.
class OddShapes : public EditorSession {
public:
    void pick(const std::string& list, const std::string& item) {
        const auto items = form.items(list);
        const auto found = std::find(items.begin(), items.end(), item);
        ASSERT_NE(found, items.end()) << item;
        form.setSelectedIndex(list, static_cast<int>(found - items.begin()));
    }

protected:
    void open(const std::string& shape) {
        copyFixture("odd-shapes/" + shape + "/game", tmp.path() / "game");
        before = gameFiles();
        editor->btRelloadClick();
    }

    std::vector<std::string> before;
};

struct Shape {
    const char* name;
    int ship;
    std::function<void(OddShapes&, MemoryForm&, Editor&)> edit;
    const char* changedFile; // as in kDataFiles
};

void type(MemoryForm& form, const char* field, const char* text) {
    form.setText(field, text);
}

const Shape kShapes[] = {
    // A commented-out addon names another power plant; it is no package line.
    {"commented-addon", 0,
     [](OddShapes&, MemoryForm& form, Editor&) { type(form, "edPowerCapacity", "850"); },
     "Equipment/misc_equip.ini"},
    // A "[" in a comment of the package good does not end the section.
    {"bracket-in-package", 0,
     [](OddShapes&, MemoryForm& form, Editor&) { type(form, "edEngineMaxForce", "61000"); },
     "Equipment/engine_equip.ini"},
    // A byte order mark before a later header: that line opens no section anywhere, so the
    // second ship of the list is the file's third.
    {"bom-before-later-header", 1,
     [](OddShapes&, MemoryForm& form, Editor&) { type(form, "edPanzerung", "1300"); },
     "Ships/shiparch.ini"},
    // Typed with a point, written with the file's comma; the drag beside it stays as it is.
    {"decimal-comma", 0,
     [](OddShapes&, MemoryForm& form, Editor&) { type(form, "edReverseFraction", "0.2"); },
     "Equipment/engine_equip.ini"},
    // A key the engine lacks is added with the file's common line end (LF), not its first
    // line's (CR LF).
    {"lf-first-crlf", 0,
     [](OddShapes&, MemoryForm& form, Editor&) { type(form, "edCruiseChargeTime", "6"); },
     "Equipment/engine_equip.ini"},
    // A raise onto a line ending in "," fills the empty item.
    {"trailing-comma", 0,
     [](OddShapes& test, MemoryForm& form, Editor& editor) {
         test.pick("cbWeaponHP", "HpWeapon03");
         editor.hardpoints().cbWeaponHPChange();
         type(form, "edWeaponHPLevel", "2");
         editor.hardpoints().edWeaponHPLevelChange();
     },
     "Ships/shiparch.ini"},
    // A shield moved to another class gets a line of its own, not a place on the line of
    // another hardpoint.
    {"shared-shield-line", 2,
     [](OddShapes& test, MemoryForm& form, Editor& editor) {
         test.pick("cbShieldTyp", "fighter");
         form.setText("cbShieldTyp", "fighter");
         editor.hardpoints().cbShieldTypChange();
     },
     "Ships/shiparch.ini"},
};

TEST_F(OddShapes, OneEditChangesExactlyItsOwnLines) {
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        editor->CloseIniFiles();
        copyFixture("game-ships/game", tmp.path() / "game");
        open(shape.name);
        click(shape.ship);
        shape.edit(*this, form, *editor);
        ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
        editor->CloseIniFiles();

        const auto after = gameFiles();
        for (std::size_t i = 0; i < kDataFiles.size(); ++i) {
            if (kDataFiles[i] == shape.changedFile) {
                EXPECT_EQ(after[i], golden("odd-shapes/" + std::string(shape.name) + "/expected/" +
                                               kDataFiles[i],
                                           after[i]));
            } else {
                EXPECT_EQ(after[i], before[i]) << kDataFiles[i];
            }
        }
    }
}

// Another program adds or removes a ship before the one shown between its load and its
// save: the save still lands in the ship the user edited, found by its nickname.
TEST_F(OddShapes, ShipsAddedOrRemovedOutsideDoNotMoveTheSave) {
    const struct {
        const char* name;
        std::function<std::string(std::string)> change;
    } outside[] = {
        {"a ship inserted before",
         [](std::string text) {
             return text.insert(text.find("[Ship"), "[Ship]\nnickname = new_ship\nhit_pts = 1\n\n");
         }},
        {"the ship before removed",
         [](std::string text) {
             const auto first = text.find("[Ship");
             return text.erase(first, text.find("[Ship", first + 1) - first);
         }},
    };
    for (const auto& change : outside) {
        SCOPED_TRACE(change.name);
        editor->CloseIniFiles();
        copyFixture("game-ships/game", tmp.path() / "game");
        editor->btRelloadClick();
        click(2); // ku_drone
        const std::string path = gameFile("Ships/shiparch.ini");
        writeBytes(path, change.change(readBytes(path)));
        form.setText("edPanzerung", "1234");
        ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
        const std::string text = readBytes(path);
        const auto drone = text.find("nickname = ku_drone");
        ASSERT_NE(drone, std::string::npos);
        const auto written = text.find("hit_pts = 1234");
        ASSERT_NE(written, std::string::npos);
        EXPECT_GT(written, drone);
        EXPECT_EQ(text.find("[Ship", drone), text.find("[Ship", written)); // same section
        EXPECT_EQ(text.find("hit_pts = 1200"), std::string::npos);
    }
}

// Two sections with the ship's nickname: the save cannot tell them apart and writes nothing.
TEST_F(OddShapes, ShipNicknameTwiceStopsTheSave) {
    editor->btRelloadClick();
    click(0);
    const std::string path = gameFile("Ships/shiparch.ini");
    writeBytes(path, readBytes(path) + "\n[Ship]\nnickname = LI_FIGHTER\nhit_pts = 5\n");
    form.setText("edPanzerung", "4000");
    const std::string error = errorOf<std::runtime_error>([&] { editor->SAVE_INI_VALUES(); });
    EXPECT_NE(error.find("there are 2 [Ship] sections with the nickname \"li_fighter\""),
              std::string::npos)
        << error;
    EXPECT_EQ(gameText("Ships/shiparch.ini").find("hit_pts = 4000"), std::string::npos);
}

} // namespace
} // namespace skarvel::test
