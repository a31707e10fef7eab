// The Fleet page's CSV: what spreadsheets write is read true to the cell or refused with its
// line, a value ships share changes once, and a round trip of a mod's size is lossless.
#include "platform/Files.h"
#include "ships/EditorSession.h"
#include "support/TestFiles.h"
#include "tables/FleetColumns.h"
#include "tables/FleetCommands.h"
#include "tables/FleetCsv.h"
#include "tables/FleetEdits.h"
#include "tables/FleetTable.h"

#include <filesystem>

namespace skarvel::test {
namespace {

using namespace std::string_literals;

class FleetCsvTest : public EditorSession {
protected:
    FleetCsvTest() : EditorSession("game-mod") {}

    void open() {
        editor->btRelloadClick();
        ASSERT_TRUE(editor->dataSet().isOpen());
        fleet.refresh();
    }
    static std::size_t column(std::string_view key) {
        const std::size_t found = fleetColumnOfKey(key);
        EXPECT_LT(found, fleetColumns().size()) << key;
        return found;
    }
    std::string cell(std::size_t row, std::string_view key) {
        return fleet.edits().shown(row, column(key));
    }
    std::vector<std::size_t> allRows() const {
        std::vector<std::size_t> rows;
        for (std::size_t row = 0; row < fleet.table().rows().size(); ++row) {
            rows.push_back(row);
        }
        return rows;
    }
    static std::vector<std::size_t> allColumns() {
        std::vector<std::size_t> columns;
        for (std::size_t c = 0; c < fleetColumns().size(); ++c) {
            columns.push_back(c);
        }
        return columns;
    }
    static std::string joined(const FleetImport& result) {
        std::string text;
        for (const std::string& problem : result.problems) {
            text += problem + "\n";
        }
        return text;
    }

    // count generated ships of a mod's shape after the test set's, ship i with engine
    // i % engines; every one with the power plant the test set's ships share.
    void addShips(int count, int engines) {
        std::string ships = gameText("SHIPS/shiparch.ini");
        std::string goods = gameText("Equipment/Goods.ini");
        std::string engineText = gameText("Equipment/engine_equip.ini");
        for (int e = 0; e < engines; ++e) {
            engineText += "\r\n[Engine]\r\nnickname = gen_engine_" + std::to_string(e) +
                          "\r\nmax_force = " + std::to_string(40000 + 10 * e) +
                          "\r\nlinear_drag = 600 ; drag\r\nreverse_fraction = 0.2\r\n";
        }
        for (int i = 0; i < count; ++i) {
            const std::string ship = "gen_" + std::to_string(i);
            ships += "\r\n[Ship]\r\nnickname = " + ship +
                     "\r\ntype = FIGHTER\r\nhold_size = " + std::to_string(10 + i % 90) +
                     " ; generated\r\nhit_pts = " + std::to_string(1000 + i) +
                     "\r\nmass = 120.000000\r\n";
            goods += "\r\n[Good]\r\nnickname = " + ship +
                     "_hull\r\ncategory = shiphull\r\nship = " + ship +
                     "\r\nprice = " + std::to_string(5000 + i) + "\r\n\r\n[Good]\r\n" +
                     "nickname = " + ship + "_package\r\ncategory = ship\r\nhull = " + ship +
                     "_hull\r\naddon = gen_engine_" + std::to_string(i % engines) +
                     ", internal, 1\r\naddon = mod_power_01, internal, 1\r\n";
        }
        writeBytes(gameFile("SHIPS/shiparch.ini"), ships);
        writeBytes(gameFile("Equipment/Goods.ini"), goods);
        writeBytes(gameFile("Equipment/engine_equip.ini"), engineText);
    }

    FleetCommands fleet{*journal, form, dialogs, *editor};
};

// Texts as spreadsheets write them. Rows: 0 mod_gunship (hold 40, engine mod_engine_frac
// shared with row 2, drag 135.6, gun level 4), 1 mod_two_shields (no hold_size key).
TEST_F(FleetCsvTest, SpreadsheetTextsGiveTheirValueOrAProblemNamingTheLine) {
    open();
    struct Shown {
        std::size_t row;
        const char* key;
        const char* text;
    };
    struct Case {
        const char* what;
        std::string csv;
        std::vector<Shown> shown;
        std::size_t changed;
        const char* problem; // in the problems, or none at all when empty
        char separator = ',';
    };
    const Shown hold40{0, "hold_size", "40"};
    const Shown drag{0, "engine.linear_drag", "135.6"};
    const Case cases[] = {
        {"semicolon, decimal comma",
         "nickname;engine.linear_drag\r\nmod_gunship;140,5\r\n",
         {{0, "engine.linear_drag", "140.5"}, {2, "engine.linear_drag", "140.5"}},
         1,
         "",
         ';'},
        {"quoted decimal comma",
         "nickname,engine.linear_drag\r\nmod_gunship,\"140,5\"\r\n",
         {{0, "engine.linear_drag", "140.5"}},
         1,
         ""},
        {"tab, letter case, LF",
         "NickName\tengine.linear_drag\nMOD_Gunship\t140,5\n",
         {{0, "engine.linear_drag", "140.5"}},
         1,
         "",
         '\t'},
        {"BOM, blanks in keys, an empty column, CR LF",
         "\xEF\xBB\xBF nickname , hold_size ,\r\nmod_gunship,45,\r\n",
         {{0, "hold_size", "45"}},
         1,
         ""},
        {"the value read, written otherwise",
         "nickname,hold_size\nmod_gunship,40.0\n",
         {hold40},
         0,
         ""},
        {"thousands comma quoted",
         "nickname,hold_size\r\nmod_gunship,\"12,500\"\r\n",
         {hold40},
         0,
         "line 2, column hold_size: '12,500' may hold a thousands separator"},
        {"thousands point",
         "nickname;hold_size\nmod_gunship;45.000,5\n",
         {hold40},
         0,
         "line 2, column hold_size: '45.000,5' holds a thousands separator",
         ';'},
        {"thousands blank",
         "nickname,hold_size\n\nmod_gunship,1 000\n",
         {hold40},
         0,
         "line 3, column hold_size: '1 000' holds a blank"},
        {"unquoted decimal comma",
         "nickname,hold_size\nmod_gunship,45,5\n",
         {hold40},
         0,
         "line 2: 3 fields where the header has 2"},
        {"too few fields",
         "nickname,hold_size,hit_pts\nmod_gunship,45\n",
         {hold40},
         0,
         "line 2: 2 fields where the header has 3"},
        {"stray quote",
         "nickname,hold_size\nmod_gunship,4\"5\nmod_two_shields,77\n",
         {hold40, {1, "hold_size", "77"}},
         1,
         "line 2: a quote inside a field that does not start with one"},
        {"quote never closed",
         "nickname,hold_size\nmod_gunship,\"45\nmod_two_shields,77\n",
         {hold40, {1, "hold_size", "77"}},
         1,
         "line 2: a quoted field is never closed"},
        {"nickname twice",
         "nickname,hold_size\nmod_gunship,45\nMod_Gunship,46\nmod_two_shields,77\n",
         {hold40, {1, "hold_size", "77"}},
         1,
         "lines 2, 3: the nickname 'mod_gunship' is given more than once; none of these rows"},
        {"NUL",
         "nickname,hold_size\nmod_gunship,4\0"s + "5\n",
         {hold40},
         0,
         "line 2, column hold_size: a value cannot hold a NUL byte"},
        {"comment start",
         "nickname,hold_size\nmod_gunship,\"45 ; big\"\n",
         {hold40},
         0,
         "line 2, column hold_size: a value cannot hold ';'"},
        {"too large",
         "nickname,hold_size\nmod_gunship,1e300\n",
         {hold40},
         0,
         "line 2, column hold_size: "},
        {"not a number",
         "nickname,hold_size\nmod_gunship,lots\n",
         {hold40},
         0,
         "line 2, column hold_size: 'lots' is not a number"},
        {"fixed column",
         "nickname,type\nmod_gunship,GUNBOAT\n",
         {},
         0,
         "line 2, column type: this value cannot be changed here"},
        {"unknown nickname",
         "nickname,hold_size\r\nnope,45\r\n",
         {},
         0,
         "line 2: unknown nickname 'nope'"},
        {"level as typed", "nickname,gun_level\nmod_gunship,5\n", {{0, "gun_level", "5"}}, 1, ""},
        {"level refused",
         "nickname,gun_level\nmod_gunship,11\n",
         {{0, "gun_level", "4"}},
         0,
         "line 2, column gun_level: a level is 1 to 10"},
        // The rows sharing an engine: agreeing rows change it once, differing rows not at all
        // (not even when one of them gives the value read).
        {"shared engine agrees",
         "nickname,engine.linear_drag\nmod_gunship,140\nmod_shared_shield,140.0\n",
         {{0, "engine.linear_drag", "140"}, {2, "engine.linear_drag", "140"}},
         1,
         ""},
        {"shared engine differs",
         "nickname,engine.linear_drag\nmod_gunship,140\nmod_shared_shield,135.6\n",
         {drag},
         0,
         "column engine.linear_drag of [Engine] mod_engine_frac: the rows sharing this value give "
         "different ones (line 2, mod_gunship: '140'; line 3, mod_shared_shield: '135.6')"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fleet.edits().clear();
        const FleetImport result = importFleetCsv(fleet.edits(), c.csv);
        for (const Shown& shown : c.shown) {
            EXPECT_EQ(cell(shown.row, shown.key), shown.text) << shown.key;
        }
        EXPECT_EQ(result.changed, c.changed);
        EXPECT_EQ(fleet.edits().changes().size() + fleet.edits().mountChanges().size(), c.changed);
        EXPECT_EQ(result.separator, c.separator);
        if (std::string(c.problem).empty()) {
            EXPECT_EQ(joined(result), "");
        } else {
            EXPECT_NE(joined(result).find(c.problem), std::string::npos) << joined(result);
        }
    }
}

// Every cell of a few hundred ships goes out and back unchanged; then the ten ships of one
// engine get its new force in every row, and the save changes exactly that line.
TEST_F(FleetCsvTest, ARoundTripOfAModChangesOneSharedEngineLineOnly) {
    addShips(300, 30);
    open();
    ASSERT_EQ(fleet.table().rows().size(), 306u);
    const std::string csv = fleetCsv(fleet.edits(), allRows(), allColumns(), true);
    ASSERT_TRUE(csv.starts_with("\xEF\xBB\xBFnickname,name,"));
    const FleetImport same = importFleetCsv(fleet.edits(), csv);
    EXPECT_EQ(same.changed, 0u);
    EXPECT_EQ(joined(same), "");
    EXPECT_TRUE(fleet.edits().empty());

    std::string edited = csv;
    std::size_t rows = 0;
    const std::string was = ",gen_engine_7,40070,";
    for (std::size_t at = edited.find(was); at != std::string::npos; at = edited.find(was, at)) {
        edited.replace(at, was.size(), ",gen_engine_7,51000,");
        ++rows;
    }
    ASSERT_EQ(rows, 10u);
    const std::vector<std::string> before = gameFiles();
    const FleetImport one = importFleetCsv(fleet.edits(), edited);
    EXPECT_EQ(one.changed, 1u);
    EXPECT_EQ(joined(one), "");
    ASSERT_TRUE(fleet.save());
    const std::vector<std::string> after = gameFiles();
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (kDataFiles[i] != "Equipment/engine_equip.ini") {
            EXPECT_EQ(after[i], before[i]) << kDataFiles[i];
        }
    }
    std::string expected = before[2];
    const std::string force = "nickname = gen_engine_7\r\nmax_force = ";
    expected.replace(expected.find(force) + force.size(), 5, "51000");
    EXPECT_EQ(after[2], expected);

    // A text a spreadsheet would run is escaped and read back as it was; a negative number
    // is a number.
    fleet.edits().clear();
    ASSERT_EQ(fleet.edits().set(0, column("camera_offset"), "-1, 2"), "");
    ASSERT_EQ(fleet.edits().set(0, column("engine.max_force"), "-5"), "");
    const std::string offset = cell(0, "camera_offset");
    const std::string escaped =
        fleetCsv(fleet.edits(), {0}, {column("camera_offset"), column("engine.max_force")});
    EXPECT_EQ(escaped,
              "nickname,camera_offset,engine.max_force\r\nmod_gunship,\"'" + offset + "\",-5\r\n");
    fleet.edits().clear();
    EXPECT_EQ(joined(importFleetCsv(fleet.edits(), escaped)), "");
    EXPECT_EQ(cell(0, "camera_offset"), offset);
    EXPECT_EQ(cell(0, "engine.max_force"), "-5");
}

// The command's side: the message counts, names the separator and lists 50 problems, the
// journal has them all; files it cannot read or write are told in a message.
TEST_F(FleetCsvTest, TheCommandTellsEveryProblemAndEveryRefusedFile) {
    open();
    const std::filesystem::path file = tmp.path() / "fleet.csv";
    std::string header = "nickname;hold_size";
    std::string row = "mod_gunship;45";
    for (int i = 0; i < 100000; ++i) {
        header += ";bogus" + std::to_string(i);
        row += ";1";
    }
    writeBytes(file, header + "\r\n" + row + "\r\n");
    const std::size_t from = mark();
    const auto message = fleet.importCsv(file.string());
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->starts_with("1 value of the file differs")) << message->substr(0, 200);
    EXPECT_NE(message->find("\n\rSeparator: semicolon.\n\rThese were left alone:\n\r"
                            "line 1: unknown column 'bogus0'\n\r"),
              std::string::npos);
    EXPECT_NE(message->find("'bogus49'\n\r... and 99950 more problems (all in the journal)"),
              std::string::npos);
    EXPECT_EQ(message->find("bogus50"), std::string::npos);
    EXPECT_LT(message->size(), 5000u);
    const Lines lines = linesSince(from);
    // One line each for the first hundred problems, then a thousand to a line.
    std::size_t journalled = 0;
    for (const std::string& line : lines) {
        for (std::size_t at = line.find("unknown column 'bogus"); at != std::string::npos;
             at = line.find("unknown column 'bogus", at + 1)) {
            ++journalled;
        }
    }
    EXPECT_EQ(journalled, 100000u);
    EXPECT_EQ(lines.size(), 100u + 100u + 1u);
    EXPECT_TRUE(contains(lines, "[Info   ] Flotte: 1 Werte importiert aus " + file.string() +
                                    ", 100000 nicht übernommen"))
        << lines.back();
    EXPECT_EQ(cell(0, "hold_size"), "45");

    const std::filesystem::path large = tmp.path() / "large.csv";
    writeBytes(large, "nickname,hold_size\r\n");
    std::filesystem::resize_file(large, kCsvFileCap + 1);
    const std::filesystem::path folder = tmp.path() / "folder.csv";
    std::filesystem::create_directory(folder);
    const std::pair<std::filesystem::path, std::string> refused[] = {
        {large, " is 64.0 MB (67108865 bytes); a CSV file above 64 MB is not imported."},
        {folder, " is a folder, not a regular file."},
        {tmp.path() / "missing.csv", " cannot be read: No such file or directory."}};
    for (const auto& [path, why] : refused) {
        dialogs.shown.clear();
        EXPECT_FALSE(fleet.importCsv(path.string()));
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown.front().kind, MessageKind::Error);
        EXPECT_EQ(dialogs.shown.front().text, path.string() + why + "\nNothing was imported.");
    }

    dialogs.shown.clear();
    setWriteFailureForTesting([](const std::string&) { return true; });
    EXPECT_FALSE(fleet.exportCsv(file.string(), {0}, {column("hold_size")}));
    setWriteFailureForTesting({});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown.front().kind, MessageKind::Error);
    EXPECT_TRUE(dialogs.shown.front().text.starts_with("The CSV file was not written: Unable to "
                                                       "write to " +
                                                       file.string()))
        << dialogs.shown.front().text;
    EXPECT_TRUE(fleet.exportCsv(file.string(), {0}, {column("hold_size")}));
    EXPECT_EQ(readBytes(file), "nickname,hold_size\r\nmod_gunship,45\r\n");
}

// A header of ten million unknown columns is ten million problems, fifty of them kept.
TEST(FleetCsvImport, TenMillionUnknownColumnsKeepFiftyProblems) {
    FleetTable table;
    FleetEdits edits(table);
    std::string header = "nickname";
    header.reserve(20000020);
    for (int i = 0; i < 10000000; ++i) {
        header += ",b";
    }
    const FleetImport result = importFleetCsv(edits, header + "\r\n");
    EXPECT_EQ(result.problemCount, 10000000u);
    ASSERT_EQ(result.problems.size(), kShownProblems);
    EXPECT_EQ(result.problems.back(), "line 1: unknown column 'b'");
}

} // namespace
} // namespace skarvel::test
