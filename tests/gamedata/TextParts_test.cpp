#include "gamedata/TextParts.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace skarvel {
namespace {

TEST(TextParts, DelimitedPartIsTrimmedAndEndsAtTheStopDelimiter) {
    EXPECT_EQ(getDelimitedPart("engine = ge_le_engine_01, 1", '=', ','), "ge_le_engine_01");
    EXPECT_EQ(getDelimitedPart("  12 , HpWeapon01", '*', ','), "12");
    EXPECT_EQ(getDelimitedPart("\t HpWeapon01 \r", '*', ','), "HpWeapon01");
    EXPECT_EQ(getDelimitedPart("nickname = li_fighter", '=', ','), "li_fighter");
    // A missing start delimiter gives nothing; a missing stop delimiter gives the rest.
    EXPECT_EQ(getDelimitedPart("no equals sign, here", '=', ','), "");
    EXPECT_EQ(getDelimitedPart("", '*', ','), "");
    EXPECT_EQ(getDelimitedPart(", first empty", '*', ','), "");
}

TEST(TextParts, CutDelimitedPartRemovesEveryOccurrenceOfThePart) {
    std::string text = "elite_shield_special_3, elite";
    EXPECT_EQ(cutDelimitedPart(text, '*', '_'), "elite");
    EXPECT_EQ(text, "_shield_special_3, ");

    std::string nothing = "_shield";
    EXPECT_EQ(cutDelimitedPart(nothing, '*', '_'), "");
    EXPECT_EQ(nothing, "_shield");
}

TEST(TextParts, SectionLinesRunFromTheHeaderToTheNextBracket) {
    test::TempDir dir;
    const auto path = dir.path() / "goods.ini";
    test::writeBytes(path,
                     "[Good0]\r\nnickname = a\r\n  [Good1] ; pack\r\naddon = ge_le_engine_01, "
                     "internal, 1\r\n\r\n; comment\r\naddon = li_tractor, internal, 1\r\n"
                     "[Good2]\r\nnickname = c\r\n");
    EXPECT_EQ(ReadSectionLines(path.string(), "[Good1]"),
              (std::vector<std::string>{"addon = ge_le_engine_01, internal, 1", "", "; comment",
                                        "addon = li_tractor, internal, 1"}));
    EXPECT_EQ(ReadSectionLines(path.string(), "[Good2]"),
              (std::vector<std::string>{"nickname = c"}));
    EXPECT_TRUE(ReadSectionLines(path.string(), "[Good9]").empty());
    EXPECT_THROW(ReadSectionLines((dir.path() / "missing.ini").string(), "[Good1]"),
                 std::runtime_error);
}

} // namespace
} // namespace skarvel
