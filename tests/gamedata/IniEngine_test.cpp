#include "gamedata/IniEngine.h"
#include "gamedata/SectionFinder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace skarvel::ini {
namespace {

TEST(ParsedIniTest, NewLinesTakeTheFilesMostCommonLineEnding) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "\r\n"},
        {"[A]", "\r\n"},
        {"[A]\nk=1\r\n", "\r\n"},    // a tie
        {"[A]\r\nk=1\nj=2\n", "\n"}, // an LF file whose first line is CR LF
        {"[A]\rk=1\rj=2\n", "\r"},
    };
    for (const auto& [text, ending] : cases) {
        EXPECT_EQ(ParsedIni(text).lineEnding(), ending) << text;
    }
}

TEST(ParsedIniTest, RecognisesHeadersKeysAndComments) {
    const ParsedIni ini("k = before\r\n"
                        "  [ Ship ] ; note\r\n"
                        "; [Commented]\r\n"
                        "= no name\r\n"
                        "x ; y = z\r\n"
                        "[Unclosed\r\n"
                        "[]\r\n");
    std::vector<std::string> names;
    for (const auto& section : ini.sections()) {
        names.emplace_back(ini.name(section));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Ship", "Unclosed", ""}));

    const auto* ship = ini.findSection("SHIP");
    ASSERT_NE(ship, nullptr);
    ASSERT_EQ(ship->keyCount, 1u);
    const auto& key = ini.keys()[ship->firstKey];
    EXPECT_EQ(ini.name(key), "x"); // the "=" is inside the comment
    EXPECT_FALSE(key.hasEquals);
    EXPECT_EQ(ini.findKey(*ship, "k"), nullptr);
}

// Bare CR line ends split like the others, and a write keeps every line end as it was.
TEST(ParsedIniTest, BareCrLinesAreLinesAndStayBareCr) {
    const std::string text = "[Ship]\rnickname = a\r\n[Ship]\rnickname = b\rmass = 1";
    const ParsedIni ini(text);
    ASSERT_EQ(ini.sections().size(), 2u);
    ASSERT_EQ(ini.sections()[1].keyCount, 2u);
    EXPECT_EQ(ini.value(ini.keys()[1]), "b");
    EXPECT_EQ(ini.value(ini.keys()[2]), "1");
    EXPECT_EQ(ini.withValue("Ship", "nickname", "c"),
              "[Ship]\rnickname = c\r\n[Ship]\rnickname = b\rmass = 1");
    EXPECT_EQ(ini.withValue("Ship", "hold", "2"),
              "[Ship]\rnickname = a\r\nhold = 2\r[Ship]\rnickname = b\rmass = 1");
}

TEST(ParsedIniTest, NulByteMakesTheWholeFileOpaque) {
    const ParsedIni ini(std::string("[A]\r\nk = 1\r\n\0[B]\r\n", 19));
    EXPECT_FALSE(ini.isText());
    EXPECT_TRUE(ini.sections().empty());
    EXPECT_EQ(ini.findSection("A"), nullptr);
}

// Writing any key of a real-looking file changes that key and nothing else that can be read.
TEST(ParsedIniTest, EveryWriteChangesOnlyItsOwnKey) {
    const ParsedIni original(test::readBytes(test::fixturePath("ini/lookups/input.ini")));
    using Snapshot = std::vector<std::pair<std::string, std::string>>;
    const auto snapshot = [](const ParsedIni& ini) {
        Snapshot values;
        for (const auto& section : ini.sections()) {
            for (std::size_t i = 0; i < section.keyCount; ++i) {
                const auto& key = ini.keys()[section.firstKey + i];
                values.emplace_back(std::string(ini.name(section)) + "/" +
                                        std::string(ini.name(key)),
                                    ini.value(key));
            }
        }
        return values;
    };
    const Snapshot before = snapshot(original);

    for (const auto& section : original.sections()) {
        for (std::size_t i = 0; i < section.keyCount; ++i) {
            const auto& key = original.keys()[section.firstKey + i];
            const std::string sectionName(original.name(section));
            const std::string keyName(original.name(key));
            if (original.findSection(sectionName) != &section ||
                original.findKey(section, keyName) != &key) {
                continue; // not reachable by name: a write goes elsewhere
            }
            const ParsedIni changed(original.withValue(sectionName, keyName, "NEW"));

            const auto* foundSection = changed.findSection(sectionName);
            ASSERT_NE(foundSection, nullptr);
            const auto* foundKey = changed.findKey(*foundSection, keyName);
            ASSERT_NE(foundKey, nullptr);
            EXPECT_EQ(changed.value(*foundKey), "NEW") << sectionName << "/" << keyName;

            // Exactly one readable value differs: the first key of that name in the first
            // section of that name.
            const Snapshot after = snapshot(changed);
            ASSERT_EQ(after.size(), before.size()) << sectionName << "/" << keyName;
            int differences = 0;
            for (std::size_t k = 0; k < after.size(); ++k) {
                EXPECT_EQ(after[k].first, before[k].first);
                differences += after[k].second != before[k].second ? 1 : 0;
            }
            EXPECT_LE(differences, 1) << sectionName << "/" << keyName;
        }
    }
}

// A replaced value shifts the positions of the parse it came from; the result must be the
// parse of the new bytes, whatever the value looks like.
TEST(ParsedIniTest, ParseAfterAWriteEqualsAFreshParse) {
    const ParsedIni original(test::readBytes(test::fixturePath("ini/lookups/input.ini")));
    const auto sameParse = [](const ParsedIni& a, const ParsedIni& b) {
        if (a.bytes() != b.bytes() || a.sections().size() != b.sections().size() ||
            a.keys().size() != b.keys().size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.sections().size(); ++i) {
            const auto &x = a.sections()[i], &y = b.sections()[i];
            if (x.nameBegin != y.nameBegin || x.nameEnd != y.nameEnd || x.lineEnd != y.lineEnd ||
                x.lineNext != y.lineNext || x.firstKey != y.firstKey || x.keyCount != y.keyCount) {
                return false;
            }
        }
        for (std::size_t i = 0; i < a.keys().size(); ++i) {
            const auto &x = a.keys()[i], &y = b.keys()[i];
            if (x.nameBegin != y.nameBegin || x.nameEnd != y.nameEnd ||
                x.valueBegin != y.valueBegin || x.valueEnd != y.valueEnd ||
                x.hasEquals != y.hasEquals || x.section != y.section || x.lineEnd != y.lineEnd ||
                x.lineNext != y.lineNext) {
                return false;
            }
        }
        return true;
    };
    for (const auto& section : original.sections()) {
        for (std::size_t i = 0; i < section.keyCount; ++i) {
            const auto& key = original.keys()[section.firstKey + i];
            const std::string sectionName(original.name(section));
            const std::string keyName(original.name(key));
            for (const char* value :
                 {"7", "a much longer value, 1, 2, 3", " padded ", "x;y", "\"quoted\"", ""}) {
                const auto spliced = original.parsedWithValue(sectionName, keyName, value);
                const ParsedIni fresh(original.withValue(sectionName, keyName, value));
                EXPECT_TRUE(sameParse(*spliced, fresh))
                    << sectionName << "/" << keyName << " = " << value;
                const auto* found = spliced->findSection(sectionName);
                ASSERT_NE(found, nullptr);
                EXPECT_NE(spliced->findKey(*found, keyName), nullptr);
            }
        }
    }
}

TEST(ParsedIniTest, SectionCheckWithoutParsingAgreesWithTheParse) {
    const test::TempDir dir;
    const std::string path = (dir.path() / "file.ini").string();
    for (const std::string& text :
         std::vector<std::string>{"", "\r\n\r\n", "; [commented]\r\nkey = [x]\r\n",
                                  "\xEF\xBB\xBF[A]", " \t[A", "key = 1\n\n  [B]\n", "a\rb\r[C]",
                                  std::string("[A]\0", 4), std::string("BINI\x01\0\0\0", 8)}) {
        test::writeBytes(path, text);
        EXPECT_EQ(hasSection(path), !ParsedIni(text).sections().empty()) << text;
    }
    EXPECT_FALSE(hasSection((dir.path() / "missing.ini").string()));
}

TEST(ParsedIniTest, AddedKeysAndSectionsReadBack) {
    std::string text = "[A]\nk = 1\n; tail\n";
    for (int i = 0; i < 3; ++i) {
        text = ParsedIni(text).withValue("A", "added" + std::to_string(i), std::to_string(i));
        text = ParsedIni(text).withValue("B" + std::to_string(i), "k", "b");
    }
    EXPECT_EQ(text, "[A]\nk = 1\nadded0 = 0\nadded1 = 1\nadded2 = 2\n; tail\n"
                    "[B0]\nk = b\n[B1]\nk = b\n[B2]\nk = b\n");
}

} // namespace
} // namespace skarvel::ini

namespace skarvel::ini {
namespace {

using skarvel::sectionsWithNickname;

// The index by nickname follows the parse it was built for: a changed nickname, a copy and
// a value written into another key.
TEST(NicknameIndex, FollowsEveryChangeOfTheParse) {
    ParsedIni ini("[Ship]\nnickname = a\nhold_size = 1\n[Ship]\nnickname = B\n[Good]\n"
                  "nickname = a\n");
    EXPECT_EQ(sectionsWithNickname(ini, "Ship", "b"), std::vector<std::size_t>{1});
    ini.assignValueAt(0, "hold_size", "22");
    EXPECT_EQ(sectionsWithNickname(ini, "ship", "A"), std::vector<std::size_t>{0});
    ini.assignValueAt(1, "nickname", "c");
    EXPECT_EQ(sectionsWithNickname(ini, "Ship", "b"), std::vector<std::size_t>{});
    EXPECT_EQ(sectionsWithNickname(ini, "Ship", "c"), std::vector<std::size_t>{1});
    ParsedIni copy(ini);
    copy.assignValueAt(0, "nickname", "c");
    EXPECT_EQ(sectionsWithNickname(copy, "Ship", "c"), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(sectionsWithNickname(ini, "Ship", "c"), std::vector<std::size_t>{1});
    EXPECT_EQ(sectionsWithNickname(ini, "Good", "a"), std::vector<std::size_t>{2});
}

} // namespace
} // namespace skarvel::ini
