// One whole session on the demo game, driven only through the window's controls and its real
// message boxes: unlock, open, edit a ship, change ships with the question answered Yes, save,
// reload and exit. Checked afterwards: the game's files, the exported copies and the journal.

#include "app/MainWindow.h"
#include "gui/UserHand.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"
#include "platform/OwnFolders.h"
#include "platform/Process.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <filesystem>

namespace skarvel {
namespace {

using namespace test;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const fs::path kDemoData = kSourceRoot / "resources" / "demo-game" / "DATA";

Lines textLines(const fs::path& file) {
    return splitLines(readBytes(file));
}

// Replaces the one line equal to from.
void replaceLine(Lines& lines, const std::string& from, const std::string& to) {
    auto found = std::find(lines.begin(), lines.end(), from);
    ASSERT_NE(found, lines.end()) << from;
    *found = to;
}

// The journal is written in Windows-1252; the expected lines are written here in UTF-8.
std::string ansi(const std::string& utf8) {
    return QString::fromStdString(utf8).toLatin1().toStdString();
}

// The first line of expected that does not follow the ones before it in lines; empty when
// all of them appear in this order.
std::string firstMissingInOrder(const Lines& lines, const Lines& expected) {
    auto at = lines.begin();
    for (const std::string& line : expected) {
        at = std::find(at, lines.end(), line);
        if (at == lines.end()) {
            return line;
        }
        ++at;
    }
    return {};
}

std::size_t count(const Lines& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

const QString kShipChangeQuestion = "There are unsaved changes. Do you want to save them now ? - "
                                    "otherwise they will get lost !";
const QString kNothingToSaveInformation = "Nothing to save: no value has changed.";
const QString kSavedInformation =
    "                All Values have been saved\n\nA copy of the changed files have been made "
    "and is saved in the\ndirectory of this tool under \\data\\..  You can simply copy the\n\\data "
    "directory to any other network computer/server you like to\nuse the same values. For example "
    "to play on you own server. Only\ncopy the \\data directory over the \\data directory of "
    "freelancer.\nOn this machine the original .inis are allready overwritten";

// The demo game in a Wine prefix; resource.ini and the converter in the program's folder.
class DemoSession : public ::testing::Test {
protected:
    DemoSession() {
        EXPECT_EQ(env.installDemoGame(), 0);
        // The text form of the compressed misc_equip.ini, as the converter gives it.
        fs::create_directories(env.root.path() / "unpacked");
        fs::copy_file(gameFile("EQUIPMENT/misc_equip.ini"),
                      env.root.path() / "unpacked" / "misc_equip.ini");
        runProgram(SKARVEL_BINI_PATH, {(env.root.path() / "unpacked" / "misc_equip.ini").string()},
                   std::chrono::seconds(60));
    }

    fs::path gameFile(const std::string& relative) const { return game() / "DATA" / relative; }
    fs::path game() const { return env.prefix / "drive_c" / "Games" / "Freelancer"; }

    ShellEnvironment env;
};

TEST_F(DemoSession, EditSaveReloadAndExitReachTheGameTheCopiesAndTheJournal) {
    env.storePreference("UpdateSite", "ftp://127.0.0.1:9/"); // the check is offered
    ModalHand hand;
    hand.press(QMessageBox::No).press(QMessageBox::No); // update check, backup prompt
    TJournal journal(env.program.string(), "DebugOut");
    {
        TformSkarvel window(journal, env.program.string());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

        hand.press(QMessageBox::Ok);
        click(control<QPushButton>(window, "btRead"));
        click(control<QToolButton>(window, "btRelload"));
        auto& ships = control<QListWidget>(window, "lbShips");
        ASSERT_EQ(ships.count(), 8);
        ASSERT_EQ(ships.item(1)->text(), "Defender");
        ASSERT_EQ(ships.item(2)->text(), "Rhino");

        clickShip(window, 1);
        ASSERT_EQ(fieldText(window, "edPanzerung"), "2400");
        ASSERT_EQ(fieldText(window, "edEngineSpeed"), "90");  // 54000 / 600
        ASSERT_EQ(fieldText(window, "edReverseSpeed"), "14"); // 13.5, half to even
        ASSERT_EQ(fieldText(window, "edWeaponHPLevel"), "4");
        // Defender's engine is shared: the caption says so and its tool tip names the others.
        const auto& engine = control<QLabel>(window, "labEngine");
        EXPECT_EQ(engine.text(), "ENGINE :: [ge_le_engine_02] used by 3 ships");
        EXPECT_EQ(engine.toolTip(), "Also used by: Drake, Sabre");

        retype(window, "edEngineSpeed", "120");
        EXPECT_EQ(fieldText(window, "edEngineSpeed"), "120");
        EXPECT_EQ(fieldText(window, "edEngineMaxForce"), "72000");
        EXPECT_EQ(fieldText(window, "edReverseSpeed"), "18");
        retype(window, "edPanzerung", "3456");
        clickSpinnerUp(window, "udWeaponHpLevel");
        EXPECT_EQ(fieldText(window, "edWeaponHPLevel"), "5");
        pick(window, "cbWeaponHP", "HpWeapon04");
        EXPECT_EQ(fieldText(window, "edWeaponHPLevel"), "2");
        clickSpinnerUp(window, "udWeaponHpLevel");
        EXPECT_EQ(fieldText(window, "edWeaponHPLevel"), "3");
        clickMenu(window, "CHARACTER");
        EXPECT_EQ(control<QComboBox>(window, "cbStartingBase").currentText(), "Planet Manhattan");
        pick(window, "cbStartingBase", "Planet Manhattan"); // the base shown: no change
        pick(window, "cbStartingBase", "Benford Station");

        // Another ship while the edits are unsaved: Yes saves Defender first, after a look
        // at the changes.
        clickMenu(window, "SHIP");
        hand.press(QMessageBox::Yes).click("btReviewSave").press(QMessageBox::Ok);
        clickShip(window, 2);
        EXPECT_EQ(fieldText(window, "edShipNickName"), "li_freighter");

        // Rhino unchanged: nothing to save, and nothing is written.
        hand.press(QMessageBox::Ok);
        click(control<QToolButton>(window, "btSave"));
        EXPECT_EQ(ships.currentRow(), 2);
        click(control<QToolButton>(window, "btRelload"));
        hand.press(QMessageBox::Yes);
        click(control<QToolButton>(window, "btBeenden"));
        EXPECT_TRUE(window.closeConfirmed());
    }
    journal.Release(0);

    EXPECT_TRUE(hand.allAnswered());
    EXPECT_TRUE(hand.unexpected.empty());
    std::vector<std::pair<QMessageBox::Icon, QString>> shown;
    for (const auto& box : hand.shown) {
        shown.emplace_back(box.icon, box.text);
    }
    EXPECT_EQ(shown, (std::vector<std::pair<QMessageBox::Icon, QString>>{
                         {QMessageBox::Question, kUpdateQuestion},
                         {QMessageBox::Warning, backupPrompt()},
                         {QMessageBox::Information, kOpenInformation},
                         {QMessageBox::Warning, kShipChangeQuestion +
                                                    "\nThis engine is also used by: Drake, "
                                                    "Sabre"},
                         {QMessageBox::NoIcon, QString()}, // the look at the changes
                         {QMessageBox::Information, kSavedInformation},
                         {QMessageBox::Information, kNothingToSaveInformation},
                         {QMessageBox::Question, kExitQuestion},
                     }));

    // shiparch.ini: plain headers, Defender's hit points and the least edit of its mounts
    // (HpWeapon04 raised from 2 to 3 joins the class 3 line, HpWeapon01 raised from 4 to 5
    // gets a class 5 line after the class 4 one); Rhino, not saved, and every other
    // line as they were.
    Lines original = textLines(kDemoData / "SHIPS/shiparch.ini");
    replaceLine(original, "hit_pts = 2400", "hit_pts = 3456");
    replaceLine(original, "hp_type = hp_gun_special_3, HpWeapon01, HpWeapon02, HpWeapon03",
                "hp_type = hp_gun_special_3, HpWeapon01, HpWeapon02, HpWeapon03, HpWeapon04");
    const std::string classFour = "hp_type = hp_gun_special_4, HpWeapon01, HpWeapon02";
    original.insert(std::find(original.begin(), original.end(), classFour) + 1,
                    "hp_type = hp_gun_special_5, HpWeapon01");
    EXPECT_EQ(textLines(gameFile("SHIPS/shiparch.ini")), original);

    Lines engines = textLines(kDemoData / "EQUIPMENT/engine_equip.ini");
    replaceLine(engines, "max_force = 54000", "max_force = 72000");
    EXPECT_EQ(textLines(gameFile("EQUIPMENT/engine_equip.ini")), engines);
    Lines character = textLines(kDemoData / "CHARACTERS/newcharacter.ini");
    replaceLine(character, "base = Li01_01_Base", "base = Li01_04_Base");
    EXPECT_EQ(textLines(gameFile("CHARACTERS/newcharacter.ini")), character);
    for (const char* unchanged : {"constants.ini", "EQUIPMENT/goods.ini"}) {
        EXPECT_EQ(textLines(gameFile(unchanged)), textLines(kDemoData / unchanged)) << unchanged;
    }
    EXPECT_EQ(textLines(gameFile("EQUIPMENT/misc_equip.ini")),
              textLines(env.root.path() / "unpacked" / "misc_equip.ini.txt"));

    // The copies beside the program, spelled like the game's own files so that they can be
    // copied over them, equal the game's files as the exit left them.
    for (const char* name :
         {"constants.ini", "SHIPS/shiparch.ini", "CHARACTERS/newcharacter.ini",
          "EQUIPMENT/goods.ini", "EQUIPMENT/engine_equip.ini", "EQUIPMENT/misc_equip.ini"}) {
        EXPECT_EQ(readBytes(env.program / "data" / name), readBytes(gameFile(name))) << name;
    }

    // The journal from its header to its closing line.
    const Lines lines = env.journal();
    ASSERT_GT(lines.size(), 12u);
    EXPECT_EQ(count(lines, "[System ] VALUE CHANGED"), 1u); // only the other base
    EXPECT_TRUE(lines[0].starts_with("[Start  ] Process \"")) << lines[0];
    EXPECT_NE(lines[0].find("\" running on \""), std::string::npos) << lines[0];
    const Lines system(lines.begin() + 1, lines.begin() + 11);
    const std::vector<std::string> systemStarts{"[Begin  ] System Information",
                                                "[Data   ] makeCorrectPath - ",
                                                "[Data   ] System = ",
                                                "[Data   ] System Char = ",
                                                "[Data   ] Application = ",
                                                "[Data   ] Bildschirm Anzahl = ",
                                                ansi("[Data   ] Bildschirm Auflösung = "),
                                                ansi("[Data   ] WorkSpace Auflösung = "),
                                                "[Data   ] Dateisystem = ",
                                                "[End    ] System Information"};
    for (std::size_t i = 0; i < systemStarts.size(); ++i) {
        EXPECT_TRUE(system[i].starts_with(systemStarts[i]) ||
                    (i == 8 && system[i] == "[Action ] Dateisystem konnte nicht ermittelt werden"))
            << system[i];
    }

    const std::string program = env.program.string() + "/";
    const std::string data = game().string() + "/DATA/";
    const std::string create = "[System ] TUserIniFile_CREATE [ ";
    const Lines open{
        "[Begin  ] OPEN_INI_FILES",
        "[Info   ] Files and Dirs exist",
        "[Info   ] BINI [" + program + "] existiert",
        "[Begin  ] Entpacke die Ini Dateien",
        "[End    ] Entpacke die Ini Dateien",
        "[Info   ] Create Sec_Lists",
        "[Begin  ] Erstelle Nummerierungen",
        "[End    ] Nummerierung erstellt",
        "[Begin  ] Ini_files Objekte erzeugen",
        create + program + "resource.ini ]",
        create + data + "SHIPS/shiparch.ini ]",
        create + data + "EQUIPMENT/goods.ini ]",
        create + data + "CHARACTERS/newcharacter.ini ]",
        create + data + "constants.ini ]",
        create + data + "EQUIPMENT/misc_equip.ini ]",
        create + data + "EQUIPMENT/engine_equip.ini ]",
        "[End    ] Ini_files Objekte erzeugen",
        "[Begin  ] SektionsListen erstellen",
        "[End    ] SektionsListen erstellen",
        "[Info   ] INIS OPEN = True",
        "[End    ] OPEN_INI_FILES",
        "[Info   ] INIS OPEN = True",
        "[Begin  ] LOAD_INI_VALUES",
        ansi("[Info   ] INIS sind geöffnet und Werte werden geladen"),
        "[End    ] LOAD_INI_VALUES",
    };
    const Lines close{
        "[Begin  ] CLOSE_INI_FILES",
        "[Info   ] Inis are open",
        "[Info   ] Files and Dirs exist",
        "[Info   ] Inis updated",
        "[Info   ] Inis freed",
        "[Info   ] SecLists freed",
        "[Begin  ] Entferne Nummerierungen",
        "[End    ] Nummerierung entfernen",
        "[End    ] CLOSE_INI_FILES",
    };
    const std::string write = "[Data   ] TUserIniFile_WRITE_STRING - ";
    Lines expected{
        "[End    ] System Information",
        "[Begin  ] FORM_CREATE",
        "[Data   ] FSecurityDlgs = 1",
        "[Data   ] FCheckNewVersion = 1",
        "[Data   ] Freelancer InstallDir = " + game().string() + "/",
        "[End    ] FORM_CREATE",
        "[Info   ] README GELESEN UND VERSTANDEN",
        "[Info   ] OPEN INFORMATION SHOWN",
        ansi("[System ] Daten sollen geöffnet werden"),
        "[Begin  ] CLOSE_INI_FILES",
        "[Error  ] Inis arent open",
        "[End    ] CLOSE_INI_FILES",
    };
    // The first open unpacks the compressed file.
    expected.insert(expected.end(), open.begin(), open.begin() + 4);
    expected.push_back("[Info   ] IS_COMPRESSED_INI (" + data + "EQUIPMENT/misc_equip.ini) = True");
    expected.push_back("[Info   ] Entpacke Datei [" + data + "EQUIPMENT/misc_equip.ini]  ErrC= 0");
    expected.insert(expected.end(), open.begin() + 4, open.end());
    for (const std::string& line : Lines{
             "[Begin  ] LB_SHIPS_CLICKED",
             ansi("[Info   ] CLEAR_ALL_VALUES - Gui Felder löschen"),
             ansi("[Data   ] Gewähltes Schiff: lbIndex=1 IDS_Name=237033 RealName=Defender"),
             ansi("[Data   ] Gefundene Schiffshülle: li_elite_hull "),
             "[Data   ] Engine = ge_le_engine_02 / Power = li_elite_power01 / Scanner = "
             "ge_s_scanner_02 / Tractor = ge_s_tractor_02 ",
             "[End    ] LB_SHIPS_CLICKED",
             "[System ] VALUE CHANGED",
             "[Begin  ] LB_SHIPS_CLICKED",
             ansi("[Warning] Es wurden Werte verändert -> nach speichern fragen"),
             "[Action ] JA - Werte sollen gespeichert werden",
             "[Begin  ] SAVE_INI_VALUES",
             ansi("[Info   ] INIS sind geöffnet und Werte werden gespeichert"),
             ansi("[Info   ] Werte für Ship"),
             write + "[Ship1] hit_pts = 3456",
             ansi("[Info   ] Werte für Engine"),
             write + "[Engine1] max_force = 72000",
             ansi("[Info   ] Werte für NEWCHARACTER"),
             write + "[Faction] base = Li01_04_Base",
             "[Begin  ] HardpointWerte speichern",
             "[End    ] HardpointWerte speichern",
             "[Info   ] INIS Werte speichern",
             ansi("[Info   ] Kopien der veränderten INIs anlegen unter: " + program + "data"),
             "[End    ] SAVE_INI_VALUES",
             ansi("[Info   ] CLEAR_ALL_VALUES - Gui Felder löschen"),
             ansi("[Data   ] Gewähltes Schiff: lbIndex=2 IDS_Name=237035 RealName=Rhino"),
             "[End    ] LB_SHIPS_CLICKED",
             "[System ] Daten sollen gespeichert werden",
             ansi("[Info   ] Keine Werte verändert - nichts zu speichern"),
             ansi("[System ] Daten sollen geöffnet werden"),
         }) {
        expected.push_back(line);
    }
    // The user's reload.
    expected.insert(expected.end(), close.begin(), close.end());
    expected.insert(expected.end(), open.begin(), open.end());
    expected.push_back("[System ] Programm soll beendet werden");
    expected.push_back("[System ] JA - Programm beenden");
    expected.insert(expected.end(), close.begin(), close.end());
    EXPECT_EQ(firstMissingInOrder(lines, expected), "");

    EXPECT_EQ(count(lines, ansi("[System ] Daten sollen geöffnet werden")), 2u);
    EXPECT_EQ(count(lines, "[Begin  ] SAVE_INI_VALUES"), 1u);
    EXPECT_EQ(count(lines, "[Error  ] Inis arent open"), 1u);
    EXPECT_TRUE(std::none_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with("[Error  ] EXCEPTION") || line.find("timer leak") != line.npos;
    }));
    const Lines ending{
        "[End    ] CHECK_FILES_AND_DIRS",
        "[Info   ] Files and Dirs exist",
        "[Info   ] Inis updated",
        "[Info   ] Inis freed",
        "[Info   ] SecLists freed",
        "[Begin  ] Entferne Nummerierungen",
        "[Info   ] Ships entfernt",
        "[Info   ] goods entfernt",
        "[Info   ] Power entfernt",
        "[Info   ] Engine entfernt",
        "[End    ] Nummerierung entfernen",
        "[End    ] CLOSE_INI_FILES",
        "[System ] Process terminated with exit code 0",
    };
    EXPECT_EQ(Lines(lines.end() - static_cast<std::ptrdiff_t>(ending.size()), lines.end()), ending);
}

} // namespace
} // namespace skarvel
