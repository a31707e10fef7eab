#include "GameFolder.h"
#include "gamedata/SectionNumbering.h"

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

} // namespace
} // namespace skarvel::test
