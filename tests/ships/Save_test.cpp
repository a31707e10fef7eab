#include "EditorSession.h"
#include "gamedata/IniEngine.h"
#include "gamedata/SectionNumbering.h"
#include "platform/Files.h"
#include "ships/ExportedCopies.h"
#include "support/Errors.h"
#include "support/Golden.h"

#include <functional>
#include <map>
#include <regex>
#include <set>

namespace skarvel::test {
namespace {

class SaveTest : public EditorSession {
protected:
    SaveTest() { editor->btRelloadClick(); }

    std::filesystem::path copyOf(const std::string& relative) const {
        return resolveCaseInsensitive((tmp.path() / "program/data" / relative).string());
    }

    // Apart from the header lines a copy is its game file: the same as the file made plain.
    void expectCopiesAsTheGamesFiles() const {
        for (const auto& relative : kDataFiles) {
            EXPECT_EQ(readBytes(copyOf(relative)), gameText(relative)) << relative;
        }
    }

    static void expectGolden(const std::string& name, const std::string& actual) {
        EXPECT_EQ(actual, golden("game-ships/saved/" + name, actual)) << name;
    }

    std::string withoutTempPath(std::string text) const {
        const std::string folder = tmp.path().string();
        for (auto pos = text.find(folder); pos != std::string::npos; pos = text.find(folder)) {
            text.replace(pos, folder.size(), "<tmp>");
        }
        // Backups are named by the time they were made.
        return std::regex_replace(text, std::regex(R"(\[[^\]\n]*/backups/[^\]\n]*\])"),
                                  "[<backup>]");
    }
};

TEST_F(SaveTest, FullSaveWritesEveryKeyInPlace) {
    editEveryDataFile();
    form.setText("edCameraHorTurnAngle", "13,5");
    securityDialogs = true;
    const auto from = mark();
    saveByButton();

    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].kind, MessageKind::Information);
    EXPECT_EQ(dialogs.shown[1].text,
              std::string(16, ' ') +
                  "All Values have been saved\n\r\n\rA copy of the changed files have been made "
                  "and is saved in the\n\rdirectory of this tool under \\data\\..  You can "
                  "simply copy the\n\r\\data directory to any other network computer/server "
                  "you like to\n\ruse the same values. For example to play on you own server. "
                  "Only\n\rcopy the \\data directory over the \\data directory of "
                  "freelancer.\n\rOn this machine the original .inis are allready overwritten");

    // The block of the save, from its Begin to its End line.
    std::string saveJournal;
    bool inside = false;
    for (const auto& line : linesSince(from)) {
        inside = inside || line == "[Begin  ] SAVE_INI_VALUES";
        if (inside) {
            saveJournal += withoutTempPath(line) + "\n";
        }
        if (line.rfind("[End    ] SAVE_INI_VALUES", 0) == 0) {
            break;
        }
    }
    expectGolden("save-journal.txt", saveJournal);

    editor->CloseIniFiles(); // the game's files plain again
    for (const auto& relative : kDataFiles) {
        expectGolden(relative, gameText(relative));
    }
}

TEST_F(SaveTest, SaveCommandKeepsTheShipForTheNextSave) {
    click(2);
    form.setText("edPanzerung", "1300");
    editor->markChanged();
    saveByButton();
    EXPECT_FALSE(editor->valuesChanged());
    EXPECT_TRUE(editor->dataSet().isOpen());
    EXPECT_EQ(editor->shipIndex(), 2);
    EXPECT_EQ(form.selectedIndex("lbShips"), 2);
    EXPECT_TRUE(editor->shipLoaded());
    EXPECT_EQ(form.text("edPanzerung"), "1300");

    EXPECT_NE(gameText("Ships/shiparch.ini").find("[Ship2]"), std::string::npos);

    form.setText("edPanzerung", "1400");
    editor->markChanged();
    const auto from = mark();
    saveByButton();
    EXPECT_TRUE(
        contains(linesSince(from), "[Data   ] TUserIniFile_WRITE_STRING - [Ship2] hit_pts = 1400"));
    editor->CloseIniFiles();
    const std::string shipArch = gameText("Ships/shiparch.ini");
    EXPECT_NE(shipArch.find("nickname = ku_drone\n"), std::string::npos);
    EXPECT_NE(shipArch.find("hit_pts = 1400\n"), std::string::npos);
    EXPECT_NE(shipArch.find("hit_pts = 3400\n"), std::string::npos);
    EXPECT_NE(shipArch.find("hit_pts = 4200\n"), std::string::npos);
    EXPECT_EQ(shipArch.find("hit_pts = 1200"), std::string::npos);
}

// Another program put a ship before the shown one: the save lands in the shown ship, and
// after the save's reload the list selects it again at its new row.
TEST_F(SaveTest, SaveCommandFollowsTheShipToItsNewRow) {
    click(2);
    const std::string path = gameFile("Ships/shiparch.ini");
    std::string text = readBytes(path);
    writeBytes(path, text.insert(text.find("[Ship1]"), "[Ship]\nnickname = newcomer\n\n"));
    form.setText("edPanzerung", "1300");
    saveByButton();
    EXPECT_EQ(form.selectedIndex("lbShips"), 3);
    EXPECT_EQ(editor->shipIndex(), 3);
    EXPECT_EQ(form.text("edShipNickName"), "ku_drone");
    const std::string saved = gameText("Ships/shiparch.ini");
    EXPECT_LT(saved.find("nickname = ku_drone"), saved.find("hit_pts = 1300"));

    // The fields now hold what the file holds: a second save has nothing to write.
    const auto files = gameFiles();
    const auto from = mark();
    const std::size_t shown = dialogs.shown.size();
    editor->btSaveClick();
    ASSERT_EQ(dialogs.shown.size(), shown + 1); // no question, only the note
    EXPECT_EQ(dialogs.shown.back().kind, MessageKind::Information);
    EXPECT_EQ(dialogs.shown.back().text, kNothingToSave);
    EXPECT_FALSE(contains(linesSince(from), "[System ] Daten wurden gespeichert"));
    EXPECT_EQ(gameFiles(), files);
}

TEST_F(SaveTest, SaveAnsweredNoDoesNothing) {
    click(0);
    form.setText("edPanzerung", "3500");
    editor->markChanged();
    const std::string before = gameText("Ships/shiparch.ini");
    editor->btSaveClick(); // no scripted answer: No
    EXPECT_EQ(gameText("Ships/shiparch.ini"), before);
    EXPECT_TRUE(editor->valuesChanged());
}

TEST_F(SaveTest, EmptiedFieldLeavesItsKeyAsItWas) {
    click(0);
    form.setText("edPanzerung", "");
    const auto from = mark();
    editor->SAVE_INI_VALUES();
    EXPECT_NE(gameText("Ships/shiparch.ini").find("hit_pts = 3400"), std::string::npos);
    for (const auto& line : linesSince(from)) {
        EXPECT_EQ(line.find("hit_pts"), std::string::npos) << line;
    }
}

TEST_F(SaveTest, ClosedSetWritesNothing) {
    editor->CloseIniFiles();
    const auto before = gameFiles();
    securityDialogs = true;
    const auto from = mark();
    editor->SAVE_INI_VALUES();
    EXPECT_EQ(linesSince(from),
              cp1252({"[Begin  ] SAVE_INI_VALUES", "[Error  ] INIS sind nicht geöffnet - ABBRUCH",
                      "[End    ] SAVE_INI_VALUES - Elapsed time: 00:00:00"}));
    EXPECT_EQ(gameFiles(), before);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(tmp.path() / "program/data"));
}

TEST_F(SaveTest, CopiesHoldPlainHeadersInTheGamesSpelling) {
    click(0);
    form.setText("edPanzerung", "3500");
    editor->SAVE_INI_VALUES();
    // The game's files are still numbered, the copies are not.
    EXPECT_NE(gameText("Ships/shiparch.ini").find("[Ship2]"), std::string::npos);
    const std::filesystem::path copies = tmp.path() / "program/data";
    for (const char* copy : {"constants.ini", "SHIPS/shiparch.ini", "EQUIPMENT/Goods.ini",
                             "EQUIPMENT/engine_equip.ini", "EQUIPMENT/misc_equip.ini",
                             "CHARACTERS/newcharacter.ini"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(copies / copy)) << copy;
    }
    editor->CloseIniFiles();
    expectCopiesAsTheGamesFiles();
}

TEST_F(SaveTest, SecondSaveReplacesTheCopies) {
    click(0);
    form.setText("edPanzerung", "3500");
    editor->SAVE_INI_VALUES();
    writeBytes(copyOf("Ships/shiparch.ini"), "stale");
    writeBytes(copyOf("constants.ini"), "stale");
    form.setText("edMaxSpeed", "360");
    editor->SAVE_INI_VALUES();
    editor->CloseIniFiles();
    expectCopiesAsTheGamesFiles();
}

TEST_F(SaveTest, FailedCopyIsReportedInsteadOfTheSavedMessage) {
    std::filesystem::create_directories(tmp.path() / "program/data");
    writeBytes(tmp.path() / "program/data/SHIPS", "a file where the folder belongs");
    click(0);
    form.setText("edPanzerung", "3500");
    securityDialogs = true;
    const auto from = mark();
    editor->SAVE_INI_VALUES();

    const std::string failed = (tmp.path() / "program/data/SHIPS/shiparch.ini").string();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(dialogs.shown[0].text,
              "The copy of the changed files could not be made:\n\rUnable to write to " + failed +
                  ": Not a directory");
    const auto saved = linesSince(from);
    EXPECT_TRUE(std::any_of(saved.begin(), saved.end(), [&](const std::string& line) {
        return line.rfind("[Error  ] Kopie " + failed, 0) == 0;
    }));
    EXPECT_EQ(saved.back(), "[End    ] SAVE_INI_VALUES - Elapsed time: 00:00:00");
    // The other copies were still made.
    EXPECT_TRUE(std::filesystem::is_regular_file(tmp.path() / "program/data/EQUIPMENT/Goods.ini"));
    EXPECT_TRUE(std::filesystem::is_regular_file(tmp.path() / "program/data/constants.ini"));
}

TEST_F(SaveTest, NoShipValuesAreWrittenAfterTheUsersReload) {
    click(0);
    form.setText("edPanzerung", "7777");
    editor->markChanged();
    dialogs.answers.push_back(Answer::Yes); // reload anyway
    editor->btRelloadClick();
    const std::string shipArch = gameText("Ships/shiparch.ini");
    const std::string goods = gameText("Equipment/goods.ini");
    form.setText("edPanzerung", "8888"); // typed into the emptied field
    form.setText("edMaxSpeed", "390");
    const auto from = mark();
    editor->SAVE_INI_VALUES();
    EXPECT_EQ(gameText("Ships/shiparch.ini"), shipArch);
    EXPECT_EQ(gameText("Equipment/goods.ini"), goods);
    EXPECT_NE(gameText("constants.ini").find("ANOM_LIMITS_MAX_VELOCITY = 390"), std::string::npos);
    EXPECT_TRUE(contains(linesSince(from),
                         "[Warning] Kein Schiff geladen - Schiffswerte werden nicht gespeichert"));
}

// A value whose section the load did not find, or that the file no longer holds, stops the
// whole save before anything is written, and says where.
TEST_F(SaveTest, ValueWithoutItsSectionStopsTheSaveBeforeAnyWrite) {
    struct Case {
        const char* name;
        std::function<void()> prepare;
        int ship;
        const char* field;
        const char* problem;
    };
    const Case cases[] = {
        {"no power plant", [] {}, 2, "edPowerCapacity",
         "misc_equip.ini: there is no [Power] section with the nickname \"\" (capacity)"},
        {"tractor section renamed",
         [&] {
             editor->CloseIniFiles();
             const auto misc = gameFile("Equipment/misc_equip.ini");
             std::string text = readBytes(misc);
             for (auto pos = text.find("[Tractor]"); pos != std::string::npos;
                  pos = text.find("[Tractor]")) {
                 text.replace(pos, 9, "[Beam]");
             }
             writeBytes(misc, text);
             editor->btRelloadClick();
         },
         0, "edTractorRange", "misc_equip.ini: there is no [Tractor] section (max_length)"},
    };
    for (const Case& c : cases) {
        c.prepare();
        click(c.ship);
        form.setText("edPanzerung", "4321");
        form.setText(c.field, "1700");
        const auto before = gameFiles();
        const std::string error =
            test::errorOf<std::runtime_error>([&] { editor->SAVE_INI_VALUES(); });
        EXPECT_NE(error.find(c.problem), std::string::npos) << c.name << ": " << error;
        EXPECT_EQ(gameFiles(), before) << c.name;
    }
}

TEST_F(SaveTest, FailedKeyWriteStopsTheSaveAndTheCommand) {
    click(0);
    form.setText("edPanzerung", "3600");
    form.setText("edShipPrice", "13000");
    form.setText("edMaxSpeed", "420");
    editor->markChanged();
    const auto goods = gameFile("Equipment/goods.ini");
    const std::string goodsBefore = readBytes(goods);
    const std::string constantsBefore = gameText("constants.ini");
    std::filesystem::permissions(goods, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    securityDialogs = true;
    dialogs.answers.push_back(Answer::Yes);
    EXPECT_THROW(editor->btSaveClick(), std::runtime_error);

    // The values of the batch are written all or none: the ship's own keys are not either.
    EXPECT_EQ(gameText("Ships/shiparch.ini").find("hit_pts = 3600"), std::string::npos);
    EXPECT_EQ(readBytes(goods), goodsBefore);
    EXPECT_EQ(gameText("constants.ini"), constantsBefore);
    EXPECT_FALSE(std::filesystem::exists(tmp.path() / "program/data"));
    ASSERT_EQ(dialogs.shown.size(), 2u); // the question, then the failure
    EXPECT_EQ(dialogs.shown[1].kind, MessageKind::Error);
    EXPECT_EQ(dialogs.shown[1].text, "The values could not be saved:\n\rUnable to write to " +
                                         goods + ": Permission denied");
    EXPECT_TRUE(editor->valuesChanged());
    EXPECT_FALSE(contains(lines(), "[System ] Daten wurden gespeichert"));
}

// The sections of a settings file in file order, each with the values of its keys; a key
// that repeats (hp_type) has all its values, in order, as one value.
struct IniSection {
    std::string name;
    std::map<std::string, std::vector<std::string>> keys;
};

std::vector<IniSection> sectionsOf(const std::string& bytes) {
    const ini::ParsedIni parsed(bytes);
    std::vector<IniSection> sections;
    for (const auto& section : parsed.sections()) {
        sections.push_back({std::string(parsed.name(section)), {}});
    }
    for (const auto& key : parsed.keys()) {
        sections[key.section].keys[std::string(parsed.name(key))].push_back(parsed.value(key));
    }
    return sections;
}

// Each key of the file holds its old or its new values.
void expectOldOrNew(const std::string& bytes, const std::string& oldBytes,
                    const std::string& newBytes) {
    const auto now = sectionsOf(bytes);
    const auto before = sectionsOf(oldBytes);
    const auto after = sectionsOf(newBytes);
    ASSERT_EQ(now.size(), before.size());
    ASSERT_EQ(after.size(), before.size());
    const auto valuesOf = [](const IniSection& section, const std::string& key) {
        const auto found = section.keys.find(key);
        return found == section.keys.end() ? std::vector<std::string>() : found->second;
    };
    for (std::size_t i = 0; i < now.size(); ++i) {
        EXPECT_EQ(now[i].name, before[i].name);
        std::set<std::string> keys;
        for (const auto* section : {&now[i], &before[i], &after[i]}) {
            for (const auto& [key, values] : section->keys) {
                keys.insert(key);
            }
        }
        for (const auto& key : keys) {
            const auto values = valuesOf(now[i], key);
            EXPECT_TRUE(values == valuesOf(before[i], key) || values == valuesOf(after[i], key))
                << "[" << now[i].name << "] " << key << " = "
                << (values.empty() ? std::string("(none)") : values.front());
        }
    }
}

// Restores the real writes however the test ends.
struct WriteFailureReset {
    WriteFailureReset() = default;
    WriteFailureReset(const WriteFailureReset&) = delete;
    WriteFailureReset& operator=(const WriteFailureReset&) = delete;
    ~WriteFailureReset() { setWriteFailureForTesting({}); }
};

class InterruptedSaveTest : public SaveTest {
protected:
    // A new editor on the untouched game files, with the set open.
    void startOver() {
        editor.reset();
        std::filesystem::remove_all(tmp.path() / "game");
        copyFixture("game-ships/game", tmp.path() / "game");
        dialogs.answers.clear();
        dialogs.shown.clear();
        editor = std::make_unique<Editor>(*journal, form, dialogs, programFolder(),
                                          [this] { return securityDialogs; });
        editor->btRelloadClick();
    }

    // Names of everything in the game's folders, temporary files included.
    std::vector<std::string> gameFolderListing() const {
        return folderListing(tmp.path() / "game", true);
    }
};

TEST_F(InterruptedSaveTest, SaveKilledAtEachWriteInTurnLeavesEveryFileOldOrNew) {
    securityDialogs = true;
    WriteFailureReset reset;

    // The values before and after a save that is not disturbed.
    startOver();
    const auto listing = gameFolderListing();
    editor->CloseIniFiles();
    const auto oldFiles = gameFiles();
    startOver();
    editEveryDataFile();
    saveByButton();
    editor->CloseIniFiles();
    const auto newFiles = gameFiles();
    for (std::size_t i = 0; i < kDataFiles.size(); ++i) {
        ASSERT_NE(newFiles[i], oldFiles[i]) << kDataFiles[i];
    }

    const std::regex numberedHeader("(Ship|Good|Power|Engine)[0-9]+");
    bool completed = false;
    for (int failAt = 1; !completed; ++failAt) {
        ASSERT_LT(failAt, 1000) << "the save never finished";
        SCOPED_TRACE("write " + std::to_string(failAt) + " fails");
        startOver();
        editEveryDataFile();
        const auto from = mark();

        int writes = 0;
        std::size_t journalAtFailure = 0;
        setWriteFailureForTesting([&](const std::string&) {
            if (++writes != failAt) {
                return false;
            }
            journalAtFailure = mark();
            return true;
        });
        bool threw = false;
        try {
            saveByButton();
        } catch (const std::exception&) {
            threw = true;
        }
        setWriteFailureForTesting({});
        completed = writes < failAt;

        if (!completed) {
            // The failure shows: inside the save as an error or an error box, and the box
            // saying all was saved only once every copy was made.
            const auto saveLines = linesSince(from);
            const auto saveEnd = std::find_if(saveLines.begin(), saveLines.end(), [](auto& line) {
                return line.rfind("[End    ] SAVE_INI_VALUES", 0) == 0;
            });
            const bool insideSave =
                saveEnd == saveLines.end() ||
                journalAtFailure <= from + static_cast<std::size_t>(saveEnd - saveLines.begin());
            const bool errorBox =
                std::any_of(dialogs.shown.begin(), dialogs.shown.end(),
                            [](auto& shown) { return shown.kind == MessageKind::Error; });
            const bool savedBox =
                std::any_of(dialogs.shown.begin(), dialogs.shown.end(),
                            [](auto& shown) { return shown.kind == MessageKind::Information; });
            const bool journalError =
                std::any_of(saveLines.begin(), saveLines.end(),
                            [](auto& line) { return line.rfind("[Error  ]", 0) == 0; });
            if (insideSave) {
                EXPECT_TRUE(threw || errorBox);
                EXPECT_FALSE(savedBox);
            } else {
                EXPECT_TRUE(errorBox || journalError);
            }
        }

        // Reload and exit.
        if (editor->valuesChanged()) {
            dialogs.answers.push_back(Answer::Yes);
        }
        editor->btRelloadClick();
        EXPECT_TRUE(editor->dataSet().isOpen());
        EXPECT_EQ(gameFolderListing(), listing);
        editor->CloseIniFiles();

        const auto files = gameFiles();
        for (std::size_t i = 0; i < kDataFiles.size(); ++i) {
            SCOPED_TRACE(kDataFiles[i]);
            ASSERT_EQ(files[i].find('\0'), std::string::npos);
            for (const auto& section : sectionsOf(files[i])) {
                EXPECT_FALSE(std::regex_match(section.name, numberedHeader)) << section.name;
            }
            expectOldOrNew(files[i], oldFiles[i], newFiles[i]);
        }
        if (completed) {
            EXPECT_EQ(files, newFiles);
        }
    }
}

TEST(PlainHeaders, OnlyNumberedHeaderLinesChange) {
    EXPECT_EQ(withPlainHeaders("[Ship12]\r\nnickname = a\r\n", "Ship"),
              "[Ship]\r\nnickname = a\r\n");
    EXPECT_EQ(withPlainHeaders("  [Ship3] ; comment\n", "Ship"), "  [Ship] ; comment\n");
    EXPECT_EQ(withPlainHeaders("[ShipGeneral]\n[Ship]\n; [Ship3]\nx = [Ship4]", "Ship"),
              "[ShipGeneral]\n[Ship]\n; [Ship3]\nx = [Ship4]");
    EXPECT_EQ(withPlainHeaders("[Good0]\r[Good1]", "Good"), "[Good]\r[Good]");
    EXPECT_EQ(withPlainHeaders("[Ship1x]\n[Ship]\n", "Ship"), "[Ship1x]\n[Ship]\n");
}

} // namespace
} // namespace skarvel::test
