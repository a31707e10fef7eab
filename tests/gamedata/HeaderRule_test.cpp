#include "gamedata/IniEngine.h"
#include "gamedata/SectionFinder.h"
#include "gamedata/SectionHeader.h"
#include "gamedata/SectionNumbering.h"
#include "gamedata/TextLines.h"
#include "ships/HardpointLines.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace skarvel {
namespace {

using LineSet = std::set<std::size_t>;

struct OddFile {
    const char* name;
    std::string text;
    LineSet opening; // lines that open a section of any name
    LineSet ships;   // lines that open a [Ship] section
};

const OddFile kFiles[] = {
    {"byte order mark at the start", "\xEF\xBB\xBF[Ship]\nnickname = a\n[Good]\n", {0, 2}, {0}},
    {"byte order mark before a later header",
     "[Ship]\nnickname = a\n\xEF\xBB\xBF[Ship]\nnickname = b\n",
     {0},
     {0}},
    {"blanks and tabs before the bracket", " \t[Ship]\r\nk = 1\r\n\t[Ship]\r\n", {0, 2}, {0, 2}},
    {"a header commented out", "[Ship]\n;[Ship]\n  ; [Ship]\nk = [x]\n", {0}, {0}},
    {"a comment after the header", "[Ship] ; comment\nk=1\n[Ship];c\n", {0, 2}, {0, 2}},
    {"another letter case and blanks inside", "[Ship]\nk=1\n[ship]\n[ Ship ]\n", {0, 2, 3}, {0}},
};

std::size_t lineOf(const std::string& text, std::size_t offset) {
    std::size_t line = 0;
    forEachLine(std::string_view(text).substr(0, offset),
                [&](LineWithEnd each) { line += each.ending.empty() ? 0 : 1; });
    return line;
}

// The header rule, the settings-file parser, the numbering and the hardpoint search agree,
// line by line, on which lines open a section and which open a ship.
TEST(HeaderRule, EveryReaderAgreesOnOddFiles) {
    for (const OddFile& file : kFiles) {
        SCOPED_TRACE(file.name);
        const std::vector<std::string> lines = splitLines(file.text);

        LineSet ruleOpening, ruleShips;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (opensSection(lines[i], i == 0)) {
                ruleOpening.insert(i);
            }
            if (matchKindHeader(lines[i], "Ship", i == 0)) {
                ruleShips.insert(i);
            }
        }
        EXPECT_EQ(ruleOpening, file.opening) << "header rule";
        EXPECT_EQ(ruleShips, file.ships) << "header rule";

        const ini::ParsedIni parsed(file.text);
        LineSet parserOpening, parserShips;
        for (const auto& section : parsed.sections()) {
            const std::size_t line = lineOf(file.text, section.lineBegin);
            parserOpening.insert(line);
            if (isKindSection(parsed, section, "Ship")) {
                parserShips.insert(line);
            }
        }
        EXPECT_EQ(parserOpening, file.opening) << "parser";
        EXPECT_EQ(parserShips, file.ships) << "parser";

        std::vector<std::string> numbered = lines;
        numberHeaders(numbered, "Ship");
        LineSet numberedShips;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (numbered[i] != lines[i]) {
                numberedShips.insert(i);
            }
        }
        EXPECT_EQ(numberedShips, file.ships) << "numbering";

        LineSet searchOpening{0}, searchShips;
        for (std::size_t at = 0; at < lines.size(); at = sectionEnd(lines, at)) {
            searchOpening.insert(at);
        }
        if (!isSectionHeader(lines.front(), true)) {
            searchOpening.erase(0);
        }
        for (int ship = 0; const auto header = findShipHeader(numbered, ship); ++ship) {
            searchShips.insert(*header);
        }
        EXPECT_EQ(searchOpening, file.opening) << "hardpoint search";
        EXPECT_EQ(searchShips, file.ships) << "hardpoint search";
    }
}

} // namespace
} // namespace skarvel
