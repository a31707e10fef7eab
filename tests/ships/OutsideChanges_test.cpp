#include "EditorSession.h"
#include "gamedata/SectionNumbering.h"
#include "platform/Files.h"
#include "support/Errors.h"

#include <functional>
#include <stdexcept>
#include <sys/stat.h>

namespace skarvel::test {
namespace {

// Another program (a text editor, git) changes the game's files between the user's actions;
// some write in place, some write a new file and rename it over the old one.
class OutsideChanges : public EditorSession {
protected:
    OutsideChanges() {
        editor->btRelloadClick();
        click(2); // ku_drone, hit points 1200
    }

    void change(const std::string& relative, const std::function<std::string(std::string)>& edit,
                bool byRename) {
        const std::string path = gameFile(relative);
        const std::string text = edit(readBytes(path));
        if (byRename) {
            writeBytes(path + ".new", text);
            std::filesystem::rename(path + ".new", path);
        } else {
            writeBytes(path, text);
        }
    }
    static std::function<std::string(std::string)> replacing(std::string from, std::string to) {
        return [from, to](std::string text) {
            const auto at = text.find(from);
            EXPECT_NE(at, std::string::npos) << from;
            return at == std::string::npos ? text : text.replace(at, from.size(), to);
        };
    }
    bool barShown() const { return form.isVisible("panOutsideChange"); }
};

TEST_F(OutsideChanges, AValueChangedOutsideIsShownWhenNothingIsUnsaved) {
    for (const bool byRename : {false, true}) {
        change("Ships/shiparch.ini", replacing("hit_pts = 1200", "hit_pts = 1250"), byRename);
        EXPECT_TRUE(editor->filesChangedOutside());
        EXPECT_EQ(form.text("edPanzerung"), "1250") << byRename;
        EXPECT_FALSE(barShown());
        change("Ships/shiparch.ini", replacing("hit_pts = 1250", "hit_pts = 1200"), byRename);
        editor->filesChangedOutside();
    }
    EXPECT_TRUE(contains(lines(), "[Info   ] Außerhalb geändert - Werte neu geladen"));
}

TEST_F(OutsideChanges, WithUnsavedChangesTheBarAsksAndTheAnswersDoWhatTheySay) {
    form.setText("edHoldsize", "15");
    change("Ships/shiparch.ini", replacing("hit_pts = 1200", "hit_pts = 1250"), true);
    editor->filesChangedOutside();
    EXPECT_TRUE(barShown());
    EXPECT_EQ(form.text("labOutsideChange"), "Ships/shiparch.ini changed outside Skarvel.");
    EXPECT_EQ(form.text("edHoldsize"), "15"); // the user's edit stays
    editor->btOutsideKeepClick();
    EXPECT_FALSE(barShown());

    change("Ships/shiparch.ini", replacing("hit_pts = 1250", "hit_pts = 1260"), false);
    editor->filesChangedOutside();
    editor->btOutsideReloadClick();
    EXPECT_EQ(form.text("edHoldsize"), "10");
    EXPECT_EQ(form.text("edPanzerung"), "1260");
    EXPECT_EQ(editor->pendingSave().empty(), true);
}

// Changes only another program made stay as it made them through a save of a ship; a key
// both changed is asked about, and each answer does what it says.
TEST_F(OutsideChanges, ASaveKeepsOutsideChangesAndAsksAboutKeysChangedOnBothSides) {
    const struct {
        std::size_t choice;
        SaveOutcome outcome;
        const char* written; // hit_pts in the file afterwards
        const char* shown;
    } answers[] = {
        {0, SaveOutcome::Saved, "hit_pts = 1300", "1300"},     // Write mine
        {1, SaveOutcome::Saved, "hit_pts = 1250", "1250"},     // Keep the file's
        {2, SaveOutcome::Cancelled, "hit_pts = 1250", "1300"}, // Cancel
    };
    for (const auto& answer : answers) {
        SCOPED_TRACE(answer.choice);
        editor->btRelloadClick();
        click(2);
        form.setText("edPanzerung", "1300");
        form.setText("edHoldsize", "12");
        change("Ships/shiparch.ini", replacing("hit_pts = 1200", "hit_pts = 1250"), true);
        change("constants.ini", replacing("MAX_LOOT_PER_ASTEROID = 3", "MAX_LOOT_PER_ASTEROID = 4"),
               false);
        dialogs.choices.push_back(answer.choice);
        EXPECT_EQ(editor->SAVE_INI_VALUES(), answer.outcome);
        ASSERT_FALSE(dialogs.buttonsShown.empty());
        EXPECT_EQ(dialogs.buttonsShown.back(),
                  (std::vector<std::string>{"Write mine", "Keep the file's", "Cancel"}));
        EXPECT_NE(dialogs.shown.back().text.find("[Ship ku_drone] hit_pts: the file's 1250, "
                                                 "yours 1300"),
                  std::string::npos)
            << dialogs.shown.back().text;
        const std::string shipArch = gameText("Ships/shiparch.ini");
        EXPECT_NE(shipArch.find(answer.written), std::string::npos);
        EXPECT_EQ(shipArch.find("hold_size = 12") != std::string::npos,
                  answer.outcome == SaveOutcome::Saved);
        EXPECT_EQ(form.text("edPanzerung"), answer.shown);
        EXPECT_NE(gameText("constants.ini").find("MAX_LOOT_PER_ASTEROID = 4"), std::string::npos);

        editor->CloseIniFiles();
        copyFixture("game-ships/game", tmp.path() / "game");
    }
}

// Ships added and removed outside, then two saves of another ship: both land in it.
TEST_F(OutsideChanges, ShipsAddedAndRemovedOutsideKeepEverySaveInItsShip) {
    click(0); // li_fighter
    change(
        "Ships/shiparch.ini",
        [](std::string text) {
            text.insert(text.find("[Ship1]"), "[Ship]\nnickname = newcomer\nhit_pts = 1\n\n");
            const auto elite = text.find("[Ship1]");
            return text.erase(elite, text.find("[Ship2]") - elite);
        },
        true);
    EXPECT_TRUE(editor->filesChangedOutside());
    EXPECT_EQ(form.items("lbShips").size(), 3u);
    EXPECT_EQ(form.selectedIndex("lbShips"), 0);
    for (const char* value : {"3500", "3600"}) {
        form.setText("edPanzerung", value);
        ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
        const std::string text = gameText("Ships/shiparch.ini");
        const auto fighter = text.find("nickname = li_fighter");
        const auto written = text.find(std::string("hit_pts = ") + value);
        EXPECT_LT(fighter, written);
        EXPECT_EQ(text.find("[Ship", fighter), text.find("[Ship", written));
        EXPECT_NE(text.find("nickname = newcomer\nhit_pts = 1\n"), std::string::npos);
    }
}

TEST_F(OutsideChanges, TheShownShipRemovedOutsideIsClearedAndSaid) {
    change(
        "Ships/shiparch.ini",
        [](std::string text) {
            const auto drone = text.find("[Ship2]");
            return text.erase(drone, text.find("[Simple]") - drone);
        },
        false);
    editor->filesChangedOutside();
    EXPECT_EQ(form.items("lbShips").size(), 2u);
    EXPECT_EQ(form.text("edPanzerung"), "");
    EXPECT_FALSE(editor->shipLoaded());
    EXPECT_TRUE(barShown());
    EXPECT_NE(form.text("labOutsideChange").find("ku_drone was removed"), std::string::npos);
}

// A branch switch: every file replaced with plain headers. The set numbers them again and
// goes on; a save afterwards lands where it should.
TEST_F(OutsideChanges, AllFilesReplacedAtOnceAreTakenUp) {
    const auto plain = [](std::string text) {
        for (const char* kind : {"Ship", "Good", "Power", "Engine"}) {
            text = withPlainHeaders(text, kind);
        }
        return text;
    };
    for (const auto& relative : kDataFiles) {
        change(relative, plain, true);
    }
    editor->filesChangedOutside();
    EXPECT_EQ(form.items("lbShips").size(), 3u);
    EXPECT_EQ(form.text("edShipNickName"), "ku_drone");
    EXPECT_NE(gameText("Ships/shiparch.ini").find("[Ship2]"), std::string::npos);
    form.setText("edShipPrice", "9500");
    EXPECT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
    EXPECT_NE(gameText("Equipment/goods.ini").find("ship = ku_drone\r\nprice = 9500"),
              std::string::npos);
}

// Another program leaves a data file unreadable while the set is open: the look after the
// change and a save to that file name it and what it is, never block on a FIFO and write
// nothing; the file made whole again is taken up.
TEST_F(OutsideChanges, AFileLeftUnreadableIsNamedAndStopsASaveToItBeforeAnyWrite) {
    const std::string path = editor->dataSet().files().files[kGoods];
    const std::string goods = readBytes(path);
    const struct {
        std::function<void()> make;
        std::string problem;
    } cases[] = {
        {[&] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }, "is a FIFO, not a regular file"},
        {[&] { std::filesystem::create_directory(path); }, "is a folder, not a regular file"},
        {[&] { writeBytes(path, goods.substr(0, goods.size() / 2) + '\0'); },
         "is damaged: it holds a NUL byte, so it is not a text file"},
        {[&] { writeBytes(path, ""); }, "is damaged: it is empty"},
        {[] {}, "is missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        std::filesystem::remove(path);
        c.make();
        EXPECT_TRUE(editor->filesChangedOutside());
        EXPECT_TRUE(barShown());
        EXPECT_EQ(form.text("labOutsideChange"),
                  "Equipment/goods.ini " + c.problem +
                      ". Skarvel takes up the changes once every data file can be read again; a "
                      "save to such a file is refused.");
        EXPECT_TRUE(contains(lines(), "[Error  ] Data file cannot be read as it is now: " + path +
                                          " " + c.problem));

        form.setText("edShipPrice", "9500"); // goods.ini
        form.setText("edHoldsize", "15");    // shiparch.ini
        const std::string shipArch = gameText("Ships/shiparch.ini");
        EXPECT_EQ(errorOf<std::runtime_error>([&] { editor->SAVE_INI_VALUES(); }),
                  "Nothing was written, because these files cannot take the values as they are "
                  "now:\n\r" +
                      path + " " + c.problem + " (price)");
        EXPECT_EQ(gameText("Ships/shiparch.ini"), shipArch);

        std::filesystem::remove_all(path);
        writeBytes(path, goods);
        editor->filesChangedOutside();
        EXPECT_EQ(form.text("labOutsideChange"), "Equipment/goods.ini changed outside Skarvel.");
    }
}

// A save that does not write the damaged file goes on; the open after it names the file and
// says that the values were saved.
TEST_F(OutsideChanges, ASaveBesideADamagedFileSaysThatItSavedAndWhyTheSetIsClosed) {
    const std::string path = editor->dataSet().files().files[kGoods];
    writeBytes(path, std::string("[Good]\r\n\0", 9));
    form.setText("edPanzerung", "1300");
    saveByButton();
    EXPECT_NE(gameText("Ships/shiparch.ini").find("hit_pts = 1300"), std::string::npos);
    EXPECT_FALSE(editor->dataSet().isOpen());
    EXPECT_EQ(dialogs.shown.back().text,
              "The values were saved, but the data files could not be opened again:\n\r" + path +
                  " is damaged: it holds a NUL byte, so it is not a text file.\n\rThe data files "
                  "were not opened.");
}

TEST_F(OutsideChanges, CloseDataSetKeepsTheWindowAndTheOpenButtonOpensAgain) {
    form.setText("edPanzerung", "1300");
    editor->markChanged();
    dialogs.answers.push_back(Answer::No);
    editor->btCloseSetClick();
    EXPECT_TRUE(editor->dataSet().isOpen()); // No keeps everything

    dialogs.answers.push_back(Answer::Yes);
    editor->btCloseSetClick();
    EXPECT_FALSE(editor->dataSet().isOpen());
    EXPECT_TRUE(form.items("lbShips").empty());
    EXPECT_FALSE(form.isEnabled("btSave"));
    EXPECT_FALSE(form.isEnabled("btCloseSet"));
    EXPECT_EQ(form.text("edPanzerung"), "");
    EXPECT_EQ(gameText("Ships/shiparch.ini").find("[Ship2]"), std::string::npos);
    EXPECT_EQ(gameText("Ships/shiparch.ini").find("hit_pts = 1300"), std::string::npos);

    editor->btRelloadClick();
    EXPECT_TRUE(editor->dataSet().isOpen());
    EXPECT_EQ(form.items("lbShips").size(), 3u);
    EXPECT_TRUE(form.isEnabled("btCloseSet"));
}

} // namespace
} // namespace skarvel::test

namespace skarvel::test {
namespace {

// With the files kept playable the numbering lives in memory: at every moment of an open, a
// save and an outside change the four files hold only plain headers (so a kill leaves them
// so), while lists, loads, saves and journal lines go on as if they were numbered.
class PlainFiles : public EditorSession {
protected:
    PlainFiles() {
        editor->dataSet().setKeepFilesPlain([] { return true; });
    }

    void expectPlain(const std::string& when) const {
        for (const char* relative : {"Ships/shiparch.ini", "Equipment/goods.ini",
                                     "Equipment/misc_equip.ini", "Equipment/engine_equip.ini"}) {
            const std::string text = gameText(relative);
            for (const char* kind : {"Ship", "Good", "Power", "Engine"}) {
                EXPECT_EQ(text, withPlainHeaders(text, kind)) << when << ": " << relative;
            }
        }
    }
};

TEST_F(PlainFiles, OpenLoadSaveAndOutsideChangesLeaveOnlyPlainHeaders) {
    editor->btRelloadClick();
    expectPlain("after the open");
    EXPECT_TRUE(editor->dataSet().keepsFilesPlain());
    EXPECT_EQ(form.items("lbShips").size(), 3u);

    click(2);
    EXPECT_EQ(form.text("edShipNickName"), "ku_drone");
    EXPECT_EQ(form.text("edEngineMaxForce"), "25");
    EXPECT_EQ(form.text("edWeaponHPLevel"), "1");
    form.setText("edPanzerung", "1300");
    form.setText("edEngineMaxForce", "30");
    const auto from = mark();
    saveByButton();
    expectPlain("after the save");
    EXPECT_TRUE(
        contains(linesSince(from), "[Data   ] TUserIniFile_WRITE_STRING - [Ship2] hit_pts = 1300"));
    const std::string shipArch = gameText("Ships/shiparch.ini");
    EXPECT_LT(shipArch.find("nickname = ku_drone"), shipArch.find("hit_pts = 1300"));
    EXPECT_NE(gameText("Equipment/engine_equip.ini").find("max_force = 30"), std::string::npos);
    EXPECT_EQ(form.selectedIndex("lbShips"), 2);

    const std::string path = gameFile("Ships/shiparch.ini");
    std::string text = readBytes(path);
    writeBytes(path, text.insert(text.find("[Ship]"), "[Ship]\nnickname = newcomer\n\n"));
    editor->filesChangedOutside();
    expectPlain("after an outside change");
    EXPECT_EQ(form.items("lbShips").size(), 4u);
    EXPECT_EQ(form.selectedIndex("lbShips"), 3);
    EXPECT_EQ(form.text("edPanzerung"), "1300");

    editor->CloseIniFiles();
    expectPlain("after the close");
}

// Another program adds a ship above the edited one at each step of a save: the save lands
// in the edited ship, and afterwards every row of the list loads its own ship.
TEST_F(OutsideChanges, AShipAddedAtAnyStepOfASaveLeavesEveryRowLoadingItsOwnShip) {
    enum class Step { BeforeTheReview, DuringTheReview, DuringTheConflictQuestion };
    for (const Step step :
         {Step::BeforeTheReview, Step::DuringTheReview, Step::DuringTheConflictQuestion}) {
        SCOPED_TRACE(static_cast<int>(step));
        editor->btRelloadClick();
        click(2); // ku_drone
        form.setText("edPanzerung", "1300");
        const auto addShip = [this] {
            change(
                "Ships/shiparch.ini",
                [](std::string text) {
                    return text.insert(text.find("[Ship"), "[Ship]\nnickname = newcomer\n\n");
                },
                true);
        };
        if (step == Step::BeforeTheReview) {
            addShip();
        } else if (step == Step::DuringTheReview) {
            dialogs.duringDialog = addShip;
        } else {
            change("Ships/shiparch.ini", replacing("hold_size = 10", "hold_size = 11"), true);
            form.setText("edHoldsize", "14");
            dialogs.choices.push_back(0); // Write mine
            dialogs.duringDialog = addShip;
        }
        ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
        const std::string text = gameText("Ships/shiparch.ini");
        const auto drone = text.find("nickname = ku_drone");
        EXPECT_NE(text.find("hit_pts = 1300", drone), std::string::npos);
        EXPECT_NE(text.find("nickname = newcomer"), std::string::npos);
        EXPECT_EQ(form.items("lbShips").size(), 4u);
        for (int row = 0; row < 4; ++row) {
            click(row);
            EXPECT_EQ(editor->shipIndex(), row);
            EXPECT_EQ(form.text("edShipNickName"),
                      std::vector<std::string>({"newcomer", "li_fighter", "LI_Elite",
                                                "ku_drone"})[static_cast<std::size_t>(row)]);
        }
        editor->CloseIniFiles();
        copyFixture("game-ships/game", tmp.path() / "game");
    }
}

// A key another program changes while the review is open is asked about, not overwritten.
TEST_F(OutsideChanges, AKeyChangedDuringTheReviewIsAskedAbout) {
    form.setText("edPanzerung", "1300");
    dialogs.duringDialog = [this] {
        change("Ships/shiparch.ini", replacing("hit_pts = 1200", "hit_pts = 1250"), false);
    };
    dialogs.choices.push_back(1); // Keep the file's
    ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::NothingChanged);
    ASSERT_EQ(dialogs.buttonsShown.size(), 1u);
    EXPECT_NE(gameText("Ships/shiparch.ini").find("hit_pts = 1250"), std::string::npos);
    // The kept value is the loaded one: nothing is left that the user never typed.
    EXPECT_EQ(form.text("edPanzerung"), "1250");
    EXPECT_TRUE(editor->pendingSave().empty());
}

// A write that stops at the first, second or last file: the files not written are as they
// were, the message names both lists, the marker stays only when something was written, and
// the next save blames no other program for the program's own values.
TEST_F(OutsideChanges, AWriteStoppedAtAnyFileNamesWhatWasWrittenAndBlamesNoOne) {
    const char* const files[] = {"Ships/shiparch.ini", "Equipment/Goods.ini",
                                 "Equipment/engine_equip.ini"};
    for (std::size_t failing = 0; failing < 3; ++failing) {
        SCOPED_TRACE(failing);
        editor->btRelloadClick();
        click(2);
        form.setText("edPanzerung", "1300");
        form.setText("edShipPrice", "9100");
        form.setText("edReverseFraction", "0.45");
        std::vector<std::string> before;
        for (const char* file : files) {
            before.push_back(gameText(file));
        }
        const std::string failingPath = gameFile(files[failing]);
        setWriteFailureForTesting([&](const std::string& path) {
            return std::filesystem::path(path).filename() ==
                   std::filesystem::path(failingPath).filename();
        });
        const std::string error = errorOf<std::runtime_error>([&] { editor->SAVE_INI_VALUES(); });
        setWriteFailureForTesting({});
        for (std::size_t i = failing; i < 3; ++i) {
            EXPECT_EQ(gameText(files[i]), before[i]) << files[i];
        }
        EXPECT_EQ(error.find("These files hold the new values") != std::string::npos, failing > 0)
            << error;
        EXPECT_EQ(editor->dataSet().backups().marker().backupName().has_value(), failing > 0);

        const std::size_t questions = dialogs.buttonsShown.size();
        ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
        EXPECT_EQ(dialogs.buttonsShown.size(), questions) << "no conflict with its own values";
        EXPECT_FALSE(editor->dataSet().backups().marker().backupName().has_value());
        EXPECT_NE(gameText(files[2]).find("reverse_fraction = 0.45"), std::string::npos);
        editor->CloseIniFiles();
        copyFixture("game-ships/game", tmp.path() / "game");
    }
}

} // namespace
} // namespace skarvel::test
