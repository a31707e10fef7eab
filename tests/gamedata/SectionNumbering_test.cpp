#include "GameFolder.h"
#include "gamedata/SectionNumbering.h"
#include "platform/Files.h"

#include <algorithm>
#include <map>

namespace skarvel::test {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(HeaderNumbering, NumbersOnlyHeaderLinesAndKeepsTheRestOfTheLine) {
    Lines lines = {
        "[Ship]", "  [Ship] ; old name", "\t[Ship]\t", ";[Ship]",           "; see [Ship]",
        "[ship]", "[Shipyard]",          "[Ship4]",    "nickname = [Ship]", "[Ship]x"};
    EXPECT_EQ(numberHeaders(lines, "Ship"), 5);
    EXPECT_EQ(lines,
              (Lines{"[Ship0]", "  [Ship1] ; old name", "\t[Ship2]\t", ";[Ship]", "; see [Ship]",
                     "[ship]", "[Shipyard]", "[Ship3]", "nickname = [Ship]", "[Ship4]x"}));
}

TEST(HeaderNumbering, AByteOrderMarkDoesNotHideTheFirstHeader) {
    Lines lines = {"\xEF\xBB\xBF[Good]", "[Good]"};
    numberHeaders(lines, "Good");
    EXPECT_EQ(lines, (Lines{"\xEF\xBB\xBF[Good0]", "[Good1]"}));
    removeHeaderNumbers(lines, "Good");
    EXPECT_EQ(lines, (Lines{"\xEF\xBB\xBF[Good]", "[Good]"}));
}

TEST(HeaderNumbering, RemovalTouchesOnlyNumberedHeaders) {
    Lines lines = {"[Ship0]",    "  [Ship12] ; old name",
                   "[Ship]",     ";[Ship3]",
                   "[Shipyard]", "[Ship3x]",
                   "x [Ship3]",  "[Ship]3]",
                   "[Engine0]"};
    removeHeaderNumbers(lines, "Ship");
    EXPECT_EQ(lines, (Lines{"[Ship]", "  [Ship] ; old name", "[Ship]", ";[Ship3]", "[Shipyard]",
                            "[Ship3x]", "x [Ship3]", "[Ship]3]", "[Engine0]"}));
}

class Numbering : public GameFolder {
protected:
    DataFileSet files = makeDataFileSet(gameFolder());
};

TEST_F(Numbering, NumbersHeaderLinesInPlaceAndRemovesTheNumbersAgain) {
    const std::string shiparch = gameText("Ships/shiparch.ini");
    const std::string engines = gameText("Equipment/engine_equip.ini");
    const std::string constants = gameText("constants.ini");

    NumberSections(*journal, files);
    const std::string numbered = gameText("Ships/shiparch.ini");
    EXPECT_NE(numbered.find("\r\n[Ship0]\r\n"), std::string::npos);
    EXPECT_NE(numbered.find("\r\n  [Ship1] ; the drone\r\n"), std::string::npos);
    EXPECT_NE(numbered.find("\r\n;[Ship]\r\n"), std::string::npos);
    EXPECT_NE(numbered.find("\r\n[ship]\r\n"), std::string::npos);
    EXPECT_NE(numbered.find("\r\n[Ship2]\r\n"), std::string::npos);
    EXPECT_NE(gameText("Equipment/misc_equip.ini").find("\r\n\t[Power1]\t; the elite plant\r\n"),
              std::string::npos);

    RemoveSectionNumbers(*journal, files);
    // Every byte comes back, the line ends of an LF file included.
    EXPECT_EQ(gameText("Ships/shiparch.ini"), shiparch);
    EXPECT_EQ(gameText("Equipment/engine_equip.ini"), engines);
    EXPECT_EQ(gameText("constants.ini"), constants);
}

TEST_F(Numbering, NumbersLeftByAKilledRunAreRenumberedAndBrokenHeadersReported) {
    // A ship added meanwhile must not hide behind a second [Ship0].
    writeBytes(gameFile("Ships/shiparch.ini"),
               "[Ship0]\r\n[Ship]\r\n[Ship1] ; old\r\n[ShipDefaults]\r\n[ Ship ]\r\n[Ship\r\n");
    const SectionCounts counts = NumberSections(*journal, files);
    EXPECT_EQ(gameText("Ships/shiparch.ini"),
              "[Ship0]\r\n[Ship1]\r\n[Ship2] ; old\r\n[ShipDefaults]\r\n[ Ship ]\r\n[Ship\r\n");
    EXPECT_EQ(counts[kShipArch], 3);
    const auto lines = journalLines(journal->fileName());
    const std::string path = files.files[kShipArch];
    for (const std::string& expected :
         {"[Warning] Fehlerhafte Sektionszeile 5 in [" + path + "]: [ Ship ]",
          "[Warning] Fehlerhafte Sektionszeile 6 in [" + path + "]: [Ship",
          "[Warning] 2 Nummerierungen aus einem früheren Lauf in [" + path +
              "] - neu nummeriert"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), toCp1252(expected)), lines.end())
            << expected;
    }
}

TEST_F(Numbering, AFileThatIsNotTextStopsTheNumberingBeforeAnyRewrite) {
    const std::string goods = gameText("Equipment/goods.ini");
    const std::string engines = gameText("Equipment/engine_equip.ini");
    const std::string binary = "[Power]\r\nnickname = x\0y\r\n"s;
    writeBytes(gameFile("Equipment/misc_equip.ini"), binary);

    try {
        NumberSections(*journal, files);
        FAIL() << "a file with a NUL byte was numbered";
    } catch (const NotTextFileError& error) {
        EXPECT_EQ(error.path(), files.files[kMiscEquip]);
    }
    EXPECT_EQ(gameText("Equipment/goods.ini"), goods);
    EXPECT_EQ(gameText("Equipment/misc_equip.ini"), binary);
    EXPECT_EQ(gameText("Equipment/engine_equip.ini"), engines);
    EXPECT_EQ(journal->openTimers(), 0u);
}

TEST_F(Numbering, RemovalRestoresTheOtherFilesWhenOneCannotBeRead) {
    NumberSections(*journal, files);
    std::filesystem::remove(files.files[kShipArch]);
    const auto from = mark();
    RemoveSectionNumbers(*journal, files);
    const auto entries = linesSince(from);
    EXPECT_EQ(entries[1], "[Error  ] Nummerierung nicht entfernt [" + files.files[kShipArch] +
                              "] - Unable to read " + files.files[kShipArch] +
                              ": No such file or directory");
    EXPECT_EQ(entries[2], "[Info   ] goods entfernt");
    EXPECT_NE(gameText("Equipment/goods.ini").find("\r\n[Good]\r\n"), std::string::npos);
    EXPECT_EQ(gameText("Equipment/goods.ini").find("[Good0]"), std::string::npos);
}

// The numbering of misc_equip.ini fails; undoing goods and ships may fail too. The error and
// the journal then name every file left numbered, with its cause.
TEST_F(Numbering, ARollbackThatFailsNamesTheFilesLeftNumbered) {
    const std::vector<std::vector<DataFileIndex>> cases = {{}, {kGoods}, {kGoods, kShipArch}};
    for (const auto& unrestorable : cases) {
        SCOPED_TRACE(unrestorable.size());
        std::map<std::string, int> writes;
        setWriteFailureForTesting([&](const std::string& path) {
            const int count = ++writes[path];
            const bool undoing = count > 1 && std::any_of(unrestorable.begin(), unrestorable.end(),
                                                          [&](DataFileIndex file) {
                                                              return files.files[file] == path;
                                                          });
            return undoing || path == files.files[kMiscEquip];
        });
        const auto from = mark();
        std::vector<std::string> left;
        std::string what;
        try {
            NumberSections(*journal, files);
            ADD_FAILURE() << "the numbering did not fail";
        } catch (const NumberingError& error) {
            left = error.unrestored();
            what = error.what();
        }
        setWriteFailureForTesting({});
        const auto lines = linesSince(from);

        ASSERT_EQ(left.size(), unrestorable.size());
        for (std::size_t i = 0; i < left.size(); ++i) {
            const std::string& path = files.files[unrestorable[i]];
            EXPECT_EQ(left[i],
                      path + " - Unable to write to " + path + ": No space left on device");
            EXPECT_NE(what.find(left[i]), std::string::npos) << what;
            EXPECT_TRUE(std::find(lines.begin(), lines.end(),
                                  "[Error  ] Nummerierung nicht entfernt [" +
                                      left[i].substr(0, path.size()) + "]" +
                                      left[i].substr(path.size())) != lines.end());
            EXPECT_NE(
                gameText(unrestorable[i] == kGoods ? "Equipment/goods.ini" : "Ships/shiparch.ini")
                    .find(unrestorable[i] == kGoods ? "[Good0]" : "[Ship0]"),
                std::string::npos);
        }
        EXPECT_EQ(what.find("still numbered") != std::string::npos, !left.empty()) << what;
        RemoveSectionNumbers(*journal, files);
    }
}

} // namespace
} // namespace skarvel::test
