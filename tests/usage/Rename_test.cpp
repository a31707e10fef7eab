// A rename of a nickname as one change of the document: every file it touches in one review,
// one save and one undo step, with nothing else of the files changed.
#include "document/ChangeReviewText.h"
#include "platform/Files.h"
#include "platform/LineEnds.h"
#include "ships/EditorSession.h"
#include "usage/RenameCommands.h"

#include <filesystem>
#include <map>

namespace skarvel::test {
namespace {

namespace fs = std::filesystem;

// One line the rename of li_gun01_mark01 to li_gun01_mk1 changes, as it reads after it.
struct Changed {
    std::string file; // below DATA
    int line;
    std::string after;
};

// The loadout's second line is made odder than the fixture's: spacing, letter case and a
// comment naming the old name, which all stay.
constexpr const char* kOddEquip = "equip =   LI_GUN01_MARK01 ,HpWeapon02 ; li_gun01_mark01 left";

const std::vector<Changed> kChanged = {
    {"Equipment/weapon_equip.ini", 3, "nickname = li_gun01_mk1"},
    {"Equipment/goods.ini", 2, "nickname = li_gun01_mk1"},
    {"Equipment/goods.ini", 3, "equipment = li_gun01_mk1"},
    {"Equipment/goods.ini", 25, "addon = li_gun01_mk1, HpWeapon01, 1"},
    {"Ships/loadouts.ini", 3, "equip = li_gun01_mk1, HpWeapon01"},
    {"Ships/loadouts.ini", 4, "equip =   li_gun01_mk1 ,HpWeapon02 ; li_gun01_mark01 left"},
    {"Equipment/market_misc.ini", 3, "MarketGood = li_gun01_mk1, 0, -1, 10, 10, 0, 1"},
};

// The bytes with the 1-based line's text replaced, its line end kept.
std::string withLine(const std::string& bytes, int line, std::string_view text) {
    const std::size_t start = lineStartsOf(bytes).at(static_cast<std::size_t>(line - 1));
    std::string edited = bytes;
    edited.replace(start, lineAt(bytes, start).text.size(), text);
    return edited;
}

class Renaming : public EditorSession {
protected:
    Renaming() : EditorSession("equipment-mod") {}

    void SetUp() override {
        const std::string loadouts = gameFile("Ships/loadouts.ini");
        writeBytes(loadouts, withLine(readBytes(loadouts), 4, kOddEquip));
        editor->btRelloadClick();
        ASSERT_TRUE(editor->dataSet().isOpen());
    }

    // Every file of the game folder by its path, as it is now.
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> bytes;
        for (const auto& entry : fs::recursive_directory_iterator(gameFolder())) {
            if (entry.is_regular_file()) {
                bytes[entry.path().string()] = readBytes(entry.path());
            }
        }
        return bytes;
    }

    // The files as the rename leaves them: those before with exactly the changed lines.
    std::map<std::string, std::string> renamed(std::map<std::string, std::string> files) const {
        for (const Changed& change : kChanged) {
            std::string& bytes = files.at(gameFile(change.file));
            bytes = withLine(bytes, change.line, change.after);
        }
        return files;
    }

    // Another program changes the loadout's first line elsewhere than the name.
    void changeLoadoutOutside(std::string_view hardpoint) {
        const std::string path = gameFile("Ships/loadouts.ini");
        writeBytes(path, withLine(readBytes(path), 3,
                                  "equip = li_gun01_mark01, " + std::string(hardpoint)));
    }

    RenameCommands renames{*journal, *editor};
};

TEST_F(Renaming, ARenameIsOneReviewAndOneSaveOfExactlyItsLines) {
    // The set's goods.ini is open with numbered headers: the rename touches key lines only.
    ASSERT_TRUE(gameText("Equipment/goods.ini").starts_with("[Good0]"));
    const auto before = files();
    ASSERT_EQ(renames.rename("li_gun01_mark01", "li_gun01_mk1"), "");
    ASSERT_EQ(renames.pending().size(), 1u);
    EXPECT_EQ(renames.pending().front().lines.size(), kChanged.size());

    const ChangeSet changes = editor->document().changes();
    EXPECT_EQ(changes.lineEdits.size(), 4u); // one per file
    const std::string review = reviewTextOf(editor->dataSet(), changes);
    for (const Changed& change : kChanged) {
        EXPECT_NE(review.find(change.after), std::string::npos) << change.after << "\n" << review;
    }
    EXPECT_EQ(files(), before) << "the review writes nothing";

    const std::size_t backups = editor->dataSet().backups().rows().size();
    ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
    ASSERT_EQ(dialogs.reviewsShown.size(), 1u);
    EXPECT_NE(dialogs.reviewsShown.front().find(review), std::string::npos)
        << dialogs.reviewsShown.front();
    EXPECT_EQ(editor->dataSet().backups().rows().size(), backups + 1);
    EXPECT_EQ(files(), renamed(before));
    EXPECT_TRUE(renames.pending().empty());
    EXPECT_FALSE(editor->document().hasChanges());
    // Closed, the headers are plain again around the renamed lines.
    ASSERT_TRUE(editor->dataSet().CloseIniFiles(folders()).failures.empty());
    EXPECT_TRUE(
        gameText("Equipment/goods.ini").starts_with("[Good]\r\nnickname = li_gun01_mk1\r\n"));
}

TEST_F(Renaming, ANameInUseOrOfAPendingRenameIsRefusedWithNothingPending) {
    struct Case {
        std::string_view from, to, refusal;
    };
    const Case cases[] = {
        {"li_gun01_mark01", "li_shield01", "li_shield01 is already used"},
        // The munition's name is another name, used too.
        {"li_gun01_mark01", "LI_GUN01_MARK01_AMMO", "is already used"},
        {"no_such_gun", "li_gun09", "defined nowhere"},
        {"li_gun01_mark01", "li gun", "holds a blank"},
    };
    for (const Case& test : cases) {
        EXPECT_NE(renames.rename(test.from, test.to).find(test.refusal), std::string::npos)
            << test.to;
        EXPECT_TRUE(renames.pending().empty()) << test.to;
    }
    EXPECT_FALSE(editor->document().hasChanges());

    // Renames do not chain: either name of a pending rename is refused, in any letter case.
    ASSERT_EQ(renames.rename("li_shield01", "li_shield_mk1"), "");
    for (const auto& [from, to] : {std::pair{"LI_SHIELD_MK1", "li_shield_mk2"},
                                   std::pair{"li_gun01_mark01", "li_shield_mk1"},
                                   std::pair{"li_gun01_mark01", "li_shield01"}}) {
        EXPECT_NE(renames.rename(from, to).find("pending rename of li_shield01"), std::string::npos)
            << from << " " << to;
    }
    EXPECT_EQ(renames.pending().size(), 1u);
    // Undone, the name is free again.
    renames.undoLast();
    EXPECT_FALSE(editor->document().hasChanges());
    EXPECT_EQ(renames.rename("li_gun01_mark01", "li_shield_mk1"), "");
}

TEST_F(Renaming, TwoPendingRenamesOfOneFileAreOneSave) {
    const auto before = files();
    ASSERT_EQ(renames.rename("li_shield01", "li_shield_mk1"), "");
    ASSERT_EQ(renames.rename("li_gun01_mark01", "li_gun01_mk1"), "");
    ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
    EXPECT_EQ(dialogs.reviewsShown.size(), 1u);
    auto expected = renamed(before);
    std::string& goods = expected.at(gameFile("Equipment/goods.ini"));
    for (const std::string_view key : {"nickname = li_shield01", "equipment = li_shield01"}) {
        goods.replace(goods.find(key), key.size(),
                      std::string(key.substr(0, key.find('=') + 2)) + "li_shield_mk1");
    }
    const std::string addon = "addon = li_shield01, HpShield01, 1 ; li_gun01_mark02 not here";
    goods.replace(goods.find(addon), addon.size(),
                  "addon = li_shield_mk1, HpShield01, 1 ; li_gun01_mark02 not here");
    EXPECT_EQ(goods, gameText("Equipment/goods.ini"));
    EXPECT_NE(gameText("Ships/loadouts.ini").find("equip = li_shield_mk1, HpShield01\r\n"),
              std::string::npos);
}

TEST_F(Renaming, AnotherProgramsChangeOfARenamedLineIsAsked) {
    struct Case {
        std::size_t answer; // Write mine, Keep the file's, Cancel
        bool renamed;       // the rename reached the files
        bool pending;       // it is still pending after the save
    };
    for (const Case& test : {Case{0, true, false}, Case{1, false, false}, Case{2, false, true}}) {
        SCOPED_TRACE(test.answer);
        renames.discard();
        ASSERT_EQ(renames.rename("li_gun01_mark01", "li_gun01_mk1"), "");
        const std::string hardpoint = "HpWeapon0" + std::to_string(test.answer + 3);
        changeLoadoutOutside(hardpoint);
        const auto before = files();
        dialogs.choices.push_back(test.answer);
        const std::size_t asked = dialogs.buttonsShown.size();
        const SaveOutcome outcome = editor->SAVE_INI_VALUES();
        ASSERT_EQ(dialogs.buttonsShown.size(), asked + 1);
        EXPECT_NE(dialogs.shown.back().text.find("lines of the rename of li_gun01_mark01 to "
                                                 "li_gun01_mk1 in " +
                                                 gameFile("Ships/loadouts.ini")),
                  std::string::npos)
            << dialogs.shown.back().text;
        EXPECT_EQ(renames.pending().size(), test.pending ? 1u : 0u);
        if (!test.renamed) {
            EXPECT_EQ(files(), before) << "no file of the rename is written";
            EXPECT_NE(outcome, SaveOutcome::Saved);
            continue;
        }
        EXPECT_EQ(outcome, SaveOutcome::Saved);
        // The other program's edit in the line stays.
        auto expected = renamed(before);
        expected.at(gameFile("Ships/loadouts.ini")) = withLine(
            expected.at(gameFile("Ships/loadouts.ini")), 3, "equip = li_gun01_mk1, " + hardpoint);
        EXPECT_EQ(files(), expected);
        // Back to the old name for the next case.
        ASSERT_EQ(renames.rename("li_gun01_mk1", "li_gun01_mark01"), "");
        ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
    }
}

TEST_F(Renaming, AFileGoneBeforeTheSaveStopsItBeforeAnyWrite) {
    ASSERT_EQ(renames.rename("li_gun01_mark01", "li_gun01_mk1"), "");
    fs::remove(gameFile("Equipment/market_misc.ini"));
    const auto before = files();
    try {
        editor->SAVE_INI_VALUES();
        ADD_FAILURE() << "saved";
    } catch (const std::runtime_error& error) {
        // Checked with the files, before the backup and the batch.
        EXPECT_NE(
            std::string(error.what()).find(gameFile("Equipment/market_misc.ini") + " is missing"),
            std::string::npos)
            << error.what();
    }
    EXPECT_EQ(files(), before);
    EXPECT_EQ(renames.pending().size(), 1u);
}

TEST_F(Renaming, ALineMovedBeforeTheSaveStopsItBeforeAnyWrite) {
    ASSERT_EQ(renames.rename("li_gun01_mark01", "li_gun01_mk1"), "");
    const std::string loadouts = gameFile("Ships/loadouts.ini");
    writeBytes(loadouts, "; a line above moves the planned ones\r\n" + readBytes(loadouts));
    const auto before = files();
    dialogs.choices.push_back(0); // Write mine
    try {
        editor->SAVE_INI_VALUES();
        ADD_FAILURE() << "saved";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what())
                      .find("line 3 of " + loadouts + " no longer names li_gun01_mark01"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_EQ(files(), before);
}

// The batch writes the files in the order of the rename's lines: the market file comes last.
TEST_F(Renaming, ASaveStoppedPartWayIsFinishedByTheNextWithoutAQuestion) {
    const auto before = files();
    ASSERT_EQ(renames.rename("li_gun01_mark01", "li_gun01_mk1"), "");
    setWriteFailureForTesting(
        [](const std::string& path) { return path.ends_with("market_misc.ini"); });
    try {
        editor->SAVE_INI_VALUES();
        ADD_FAILURE() << "saved";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("stopped part way"), std::string::npos)
            << error.what();
    }
    setWriteFailureForTesting({});
    const std::string market = gameFile("Equipment/market_misc.ini");
    auto partly = renamed(before);
    partly.at(market) = before.at(market);
    EXPECT_EQ(files(), partly);
    ASSERT_EQ(renames.pending().size(), 1u);

    const std::size_t asked = dialogs.buttonsShown.size();
    ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
    EXPECT_EQ(dialogs.buttonsShown.size(), asked) << dialogs.shown.back().text;
    EXPECT_EQ(files(), renamed(before));
}

} // namespace
} // namespace skarvel::test
