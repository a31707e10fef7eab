#include "GameFolder.h"
#include "gamedata/DataSet.h"
#include "platform/Files.h"
#include "platform/WineRegistry.h"

#include <functional>
#include <map>
#include <sys/stat.h>

namespace skarvel::test {
namespace {

using Lines = std::vector<std::string>;

const Lines kSixFiles = {
    "constants.ini",       "Equipment/misc_equip.ini", "Equipment/engine_equip.ini",
    "Equipment/goods.ini", "Ships/shiparch.ini",       "Characters/newcharacter.ini"};

class DataSetTest : public GameFolder {
protected:
    DataSetTest() { dataSet = makeDataSet(); }
    std::unique_ptr<DataSet> makeDataSet() {
        auto made = std::make_unique<DataSet>(*journal, dialogs, programFolder());
        made->setShipListFiller([this, set = made.get()] {
            filledWith = set->sections().ships;
            ++fills;
        });
        return made;
    }
    // The six files' texts, but the one left out.
    std::map<std::string, std::string> snapshot(const std::string& left = {}) const {
        std::map<std::string, std::string> files;
        for (const auto& name : kSixFiles) {
            if (name != left) {
                files[name] = gameText(name);
            }
        }
        return files;
    }
    // The open as the editor runs it: the refusal is shown.
    std::optional<OpenRefusal> open() {
        auto refusal = dataSet->OpenIniFiles(folders());
        if (refusal && !refusal->message.empty()) {
            dialogs.message(MessageKind::Error, refusal->message);
        }
        return refusal;
    }
    static Lines openEnd(bool open) {
        const std::string state = open ? "True" : "False";
        return {"[Info   ] INIS OPEN = " + state,
                "[End    ] OPEN_INI_FILES - Elapsed time: 00:00:00",
                "[Info   ] INIS OPEN = " + state};
    }
    static void append(Lines& to, const Lines& more) {
        to.insert(to.end(), more.begin(), more.end());
    }

    std::unique_ptr<DataSet> dataSet;
    Lines filledWith;
    int fills = 0;
};

TEST_F(DataSetTest, FirstOpenJournalsEveryStepAndBuildsTheSectionLists) {
    installConverter();
    const auto from = mark();
    open();
    ASSERT_TRUE(dataSet->isOpen());

    const DataFileSet& files = dataSet->files();
    Lines expected = {"[Begin  ] OPEN_INI_FILES", "[Begin  ] CHECK_FILES_AND_DIRS",
                      "[Info   ] FL Dir Exists " + gameFolder() + " = True",
                      "[Info   ] Bini Dir Exists " + converterFolder() + " = True"};
    for (const auto& path : files.files) {
        append(expected, {"[Info   ] File Exists " + path + " = True",
                          "[Info   ] Inidatei " + path + "  ist nicht READ_ONLY"});
    }
    append(expected, {"[End    ] CHECK_FILES_AND_DIRS - Elapsed time: 00:00:00",
                      "[Info   ] Files and Dirs exist",
                      "[Info   ] Sicherung erstellt [" +
                          dataSet->backups().store().list().at(0).folder + "] - Anlass open",
                      "[Info   ] BINI [" + converterFolder() + "] existiert",
                      "[Begin  ] Entpacke die Ini Dateien"});
    for (const auto& path : files.files) {
        append(expected, {"[System ] TUserIniFile_CREATE [ " + path + " ]",
                          "[Info   ] IS_COMPRESSED_INI (" + path + ") = False"});
    }
    append(expected,
           {"[End    ] Entpacke die Ini Dateien - Elapsed time: 00:00:00",
            "[Info   ] Create Sec_Lists", "[Begin  ] Erstelle Nummerierungen",
            "[Info   ] TempDir [" + gameFolder() + "DATA/]", "[Info   ] Good erstellt",
            "[Warning] Fehlerhafte Sektionszeile 24 in [" + files.files[kShipArch] + "]: [ship]",
            "[Info   ] Ships erstellt", "[Info   ] Power erstellt", "[Info   ] Engine erstellt",
            "[End    ] Nummerierung erstellt - Elapsed time: 00:00:00",
            "[Begin  ] Ini_files Objekte erzeugen",
            "[System ] TUserIniFile_CREATE [ " + programFolder() + "resource.ini ]",
            "[System ] TUserIniFile_CREATE [ " + files.files[kShipArch] + " ]",
            // The same file as goods.ini, found as Goods.ini.
            "[System ] TUserIniFile_CREATE [ " + files.files[kGoods] + " ]",
            "[System ] TUserIniFile_CREATE [ " + files.files[kNewCharacter] + " ]",
            "[System ] TUserIniFile_CREATE [ " + files.files[kConstants] + " ]",
            "[System ] TUserIniFile_CREATE [ " + files.files[kMiscEquip] + " ]",
            "[System ] TUserIniFile_CREATE [ " + files.files[kEngineEquip] + " ]",
            "[End    ] Ini_files Objekte erzeugen - Elapsed time: 00:00:00",
            "[Begin  ] SektionsListen erstellen", "[Info   ] SHIP SektionsListe erstellt",
            "[Info   ] GOOD SektionsListe erstellt", "[Info   ] POWER SektionsListe erstellt",
            "[Info   ] ENGINE SektionsListe erstellt",
            "[End    ] SektionsListen erstellen - Elapsed time: 00:00:00"});
    append(expected, openEnd(true));
    EXPECT_EQ(linesSince(from), expected);

    // [Simple], [CollisionGroup], [ship] and ";[Ship]" are no ships.
    const SectionLists& lists = dataSet->sections();
    EXPECT_EQ(lists.ships, (Lines{"Ship0", "Ship1", "Ship2"}));
    EXPECT_EQ(lists.goods, (Lines{"Good0", "Good1", "Good2", "Good3"}));
    EXPECT_EQ(lists.powers, (Lines{"Power0", "Power1"}));
    EXPECT_EQ(lists.engines, (Lines{"Engine0", "Engine1"})); // not [EngineTrail]
    EXPECT_EQ(filledWith, lists.ships);
    EXPECT_EQ(dataSet->shipArchIni().ReadValue("Ship1", "nickname", ""), "ku_drone");
    EXPECT_EQ(dataSet->goodsIni().ReadValue("Good1", "price", ""), "25000");
    EXPECT_EQ(dataSet->resourceIni().ReadValue("Resource", "237029", ""), "Drone");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DataSetTest, OpenThenCloseLeavesEveryByteOfTheFiles) {
    const auto before = snapshot();
    open();
    ASSERT_TRUE(dataSet->isOpen());
    EXPECT_NE(gameText("Ships/shiparch.ini").find("[Ship2]"), std::string::npos);

    const auto from = mark();
    dataSet->CloseIniFiles(folders());
    EXPECT_FALSE(dataSet->isOpen());
    const auto entries = linesSince(from);
    const auto checked =
        std::find(entries.begin(), entries.end(), "[Info   ] Files and Dirs exist");
    EXPECT_EQ(
        Lines(checked, entries.end()),
        (Lines{"[Info   ] Files and Dirs exist", "[Info   ] Inis updated", "[Info   ] Inis freed",
               "[Info   ] SecLists freed", "[Begin  ] Entferne Nummerierungen",
               "[Info   ] Ships entfernt", "[Info   ] goods entfernt", "[Info   ] Power entfernt",
               "[Info   ] Engine entfernt",
               "[End    ] Nummerierung entfernen - Elapsed time: 00:00:00",
               "[End    ] CLOSE_INI_FILES - Elapsed time: 00:00:00"}));
    EXPECT_EQ(entries[0], "[Begin  ] CLOSE_INI_FILES");
    EXPECT_EQ(entries[1], "[Info   ] Inis are open");
    EXPECT_EQ(entries.back(), "[End    ] CLOSE_INI_FILES - Elapsed time: 00:00:00");
    EXPECT_EQ(snapshot(), before);
    EXPECT_THROW(dataSet->shipArchIni(), std::runtime_error);
}

TEST_F(DataSetTest, CloseOfASetThatIsNotOpenDoesNothing) {
    const auto from = mark();
    dataSet->CloseIniFiles(folders());
    EXPECT_EQ(linesSince(from), (Lines{"[Begin  ] CLOSE_INI_FILES", "[Error  ] Inis arent open",
                                       "[End    ] CLOSE_INI_FILES - Elapsed time: 00:00:00"}));
}

TEST_F(DataSetTest, AMissingGameFolderLeavesTheSetClosed) {
    form.setText("edPfad", gameFolder() + "nothing/");
    const auto from = mark();
    const auto refusal = open();
    EXPECT_FALSE(dataSet->isOpen());
    const auto entries = linesSince(from);
    EXPECT_EQ(entries[2], "[Error  ] FL Dir Not Exists " + gameFolder() + "nothing/ = False");
    EXPECT_EQ(Lines(entries.end() - 4, entries.end()),
              (Lines{"[End    ] CHECK_FILES_AND_DIRS - Elapsed time: 00:00:00", openEnd(false)[0],
                     openEnd(false)[1], openEnd(false)[2]}));
    ASSERT_EQ(dialogs.shown.size(), 1u); // told by the check; the refusal adds nothing
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->message, "");
    EXPECT_EQ(refusal->wrongFolder, skarvel::GameFolder::Game);
    EXPECT_EQ(fills, 0);
}

TEST_F(DataSetTest, ACompressedFileThatCannotBeUnpackedRefusesTheSet) {
    compress("Ships/shiparch.ini");
    const auto before = snapshot();
    const auto from = mark();
    open(); // no converter in its folder
    EXPECT_FALSE(dataSet->isOpen());
    const auto entries = linesSince(from);
    EXPECT_EQ(Lines(entries.end() - 3, entries.end()), openEnd(false));
    EXPECT_EQ(snapshot(), before);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, MessageKind::Error);
    EXPECT_NE(dialogs.shown[0].text.find(gameFile("Ships/shiparch.ini")), std::string::npos);

    installScriptConverter("exit 3");
    open();
    EXPECT_FALSE(dataSet->isOpen());
    EXPECT_EQ(dialogs.shown.back().text, "The file " + gameFile("Ships/shiparch.ini") +
                                             " could not be unpacked. The data files were not "
                                             "opened.");
    EXPECT_EQ(snapshot(), before);
}

// The converter runs between the check and the numbering; here it also damages a file of
// the set, as another program could at that moment.
TEST_F(DataSetTest, AFileThatTurnsBinaryBeforeTheNumberingIsNeverRewritten) {
    writeBytes(gameFile("Characters/newcharacter.ini"), "BINI"); // for the converter
    installScriptConverter("printf '[Package]\\r\\nmoney = 2000\\r\\n' > \"$1.txt\"\n"
                           "printf 'x\\000' >> '" +
                           gameFile("Ships/shiparch.ini") + "'");
    const std::string goods = gameText("Equipment/goods.ini");
    const auto from = mark();
    open();
    EXPECT_FALSE(dataSet->isOpen());
    const auto entries = linesSince(from);
    EXPECT_TRUE(contains(entries, "[Error  ] Keine Textdatei [" + gameFile("Ships/shiparch.ini") +
                                      "] - die Nummerierung wird nicht erstellt"));
    EXPECT_EQ(Lines(entries.end() - 3, entries.end()), openEnd(false));
    EXPECT_EQ(dialogs.shown.back().text, "The file " + gameFile("Ships/shiparch.ini") +
                                             " is not a text file. The data files were not "
                                             "opened.");
    EXPECT_EQ(gameText("Equipment/goods.ini"), goods);
    EXPECT_EQ(journal->openTimers(), 0u);
}

// A file another program made unreadable is named with what it is; the open never blocks on
// a FIFO and writes nothing.
TEST_F(DataSetTest, AFileThatIsNoReadableTextFileRefusesTheOpenBeforeAnyWrite) {
    installConverter();
    const std::string path = gameFile("Equipment/goods.ini");
    const std::string goods = gameText("Equipment/goods.ini");
    const struct {
        std::function<void()> make;
        std::string problem;
    } cases[] = {
        {[&] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }, "is a FIFO, not a regular file"},
        {[&] { std::filesystem::create_directory(path); }, "is a folder, not a regular file"},
        {[&] { writeBytes(path, ""); }, "is damaged: it is empty"},
        {[&] { writeBytes(path, std::string("[Good]\r\nnickname = a") + '\0'); },
         "is damaged: it holds a NUL byte, so it is not a text file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        std::filesystem::remove(path);
        c.make();
        const auto others = snapshot("Equipment/goods.ini");
        const auto from = mark();
        open();
        EXPECT_FALSE(dataSet->isOpen());
        EXPECT_EQ(dialogs.shown.back().text,
                  path + " " + c.problem + ".\n\rThe data files were not opened.");
        EXPECT_TRUE(contains(linesSince(from), "[Error  ] Data file cannot be read as it is now: " +
                                                   path + " " + c.problem));
        EXPECT_EQ(snapshot("Equipment/goods.ini"), others);
    }
    std::filesystem::remove(path);
    writeBytes(path, goods);
    open();
    EXPECT_TRUE(dataSet->isOpen());
}

TEST_F(DataSetTest, AFailedNumberingIsUndoneAndRefusesTheOpen) {
    const auto before = snapshot();
    // The third file of the numbering (misc_equip.ini) cannot be written.
    setWriteFailureForTesting(
        [](const std::string& path) { return path.find("misc_equip") != std::string::npos; });
    open();
    setWriteFailureForTesting({});
    EXPECT_FALSE(dataSet->isOpen());
    EXPECT_EQ(snapshot(), before); // goods and ships were numbered, then given back
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, MessageKind::Error);
    EXPECT_NE(dialogs.shown[0].text.find(gameFile("Equipment/misc_equip.ini")), std::string::npos);
    EXPECT_EQ(fills, 0);

    // A file that vanished before the numbering read it refuses the open too.
    writeBytes(gameFile("Characters/newcharacter.ini"), "BINI"); // for the converter
    installScriptConverter("printf '[Package]\\r\\nmoney = 2000\\r\\n' > \"$1.txt\"\n"
                           "rm -f '" +
                           gameFile("Equipment/engine_equip.ini") + "'");
    open();
    EXPECT_FALSE(dataSet->isOpen());
    EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(DataSetTest, ACrashWhileOpenIsMendedByTheNextOpenAndClose) {
    const auto before = snapshot();
    open();
    dataSet.reset(); // the program ends without the close
    EXPECT_NE(gameText("Equipment/goods.ini").find("[Good3]"), std::string::npos);

    dataSet = makeDataSet();
    open();
    ASSERT_TRUE(dataSet->isOpen());
    EXPECT_EQ(dataSet->sections().ships, (Lines{"Ship0", "Ship1", "Ship2"}));
    EXPECT_EQ(dataSet->sections().goods, (Lines{"Good0", "Good1", "Good2", "Good3"}));
    dataSet->CloseIniFiles(folders());
    EXPECT_EQ(snapshot(), before);
}

// Whatever is missing at the close, every numbered file that can be written loses its
// numbers, and each one that cannot is named with its cause.
TEST_F(DataSetTest, AMissingFileOrFolderKeepsNoOtherFileNumbered) {
    struct Case {
        const char* missing; // below the game's data folder; empty: the converter's folder
        bool numbered;       // a file of the numbering
    };
    const std::vector<Case> cases = {
        {"constants.ini", false},     {"Characters/newcharacter.ini", false}, {"", false},
        {"Ships/shiparch.ini", true}, {"Equipment/goods.ini", true},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.missing);
        const auto before = snapshot();
        open();
        ASSERT_TRUE(dataSet->isOpen());
        const std::string missing = std::string(each.missing).empty() ? "" : gameFile(each.missing);
        std::string kept;
        if (missing.empty()) {
            form.setText("edFliniDir", converterFolder() + "gone/");
        } else {
            kept = readBytes(missing);
            std::filesystem::remove(missing);
        }

        const CloseOutcome outcome = dataSet->CloseIniFiles(folders());
        EXPECT_FALSE(dataSet->isOpen());
        const Lines expected =
            each.numbered
                ? Lines{missing + " - Unable to read " + missing + ": No such file or directory"}
                : Lines{};
        EXPECT_EQ(outcome.failures, expected);

        // With the missing file back as it was, every file is as before the open: plain.
        form.setText("edFliniDir", converterFolder());
        if (!missing.empty()) {
            writeBytes(missing, withPlainHeaders(kept, each.missing[0] == 'S' ? "Ship" : "Good"));
        }
        EXPECT_EQ(snapshot(), before);
    }
}

} // namespace
} // namespace skarvel::test

namespace skarvel::test {
namespace {

// The demo game as tools/make-demo-prefix.sh lays it out, found through the prefix's
// registry like an installed game, opened with the real converter.
TEST(DemoGame, IsFoundInItsPrefixAndOpensWithEveryShipNamed) {
    TempDir tmp;
    const auto root = std::filesystem::path(SKARVEL_TEST_DATA_DIR).parent_path().parent_path();
    const auto prefix = tmp.path() / "prefix";
    const auto layout = runProgram((root / "tools" / "make-demo-prefix.sh").string(),
                                   {prefix.string(), SKARVEL_BINI_PATH}, std::chrono::seconds(60));
    ASSERT_EQ(layout.exitCode, 0);
    const GameLocation location = findGame(prefix.string());
    ASSERT_TRUE(location.keyFound);

    const auto program = tmp.path() / "program";
    std::filesystem::create_directories(program);
    std::filesystem::copy_file(root / "resources" / "resource.ini", program / "resource.ini");
    std::filesystem::create_directories(tmp.path() / "converter");
    std::filesystem::copy_file(SKARVEL_BINI_PATH, tmp.path() / "converter" / "bini");

    ManualClock clock;
    TJournal journal(program.string(), "DebugOut", JournalIdentity{}, clock);
    ScriptedDialogs dialogs;
    DataSet dataSet(journal, dialogs, program.string());
    EXPECT_FALSE(dataSet.OpenIniFiles({location.appPath + "/", tmp.folder() + "converter/"}));
    ASSERT_TRUE(dataSet.isOpen());
    EXPECT_TRUE(dialogs.shown.empty());
    const std::string misc = dataSet.files().files[kMiscEquip];
    const auto entries = journalLines(journal.fileName());
    EXPECT_NE(std::find(entries.begin(), entries.end(),
                        "[Info   ] Entpacke Datei [" + misc + "]  ErrC= 0"),
              entries.end());

    const SectionLists& lists = dataSet.sections();
    EXPECT_EQ(lists.ships.size(), 8u);
    for (const auto& ship : lists.ships) {
        const std::string id = dataSet.shipArchIni().ReadValue(ship, "ids_name", "*fail");
        EXPECT_NE(dataSet.resourceIni().ReadValue("Resource", id, ""), "") << ship;
    }
    EXPECT_EQ(lists.powers.size(), 8u);
    EXPECT_EQ(lists.engines.size(), 4u);
    const std::string base = dataSet.newCharacterIni().ReadValue("Faction", "base", "");
    EXPECT_EQ(dataSet.resourceIni().ReadValue("BaseById", base, ""), "Planet Manhattan");
    EXPECT_EQ(dataSet.miscEquipIni().ReadValue("Tractor", "max_length", ""), "1500");

    dataSet.CloseIniFiles({location.appPath + "/", tmp.folder() + "converter/"});
    EXPECT_EQ(readBytes(dataSet.files().files[kShipArch]).find("[Ship0]"), std::string::npos);
}

} // namespace
} // namespace skarvel::test
