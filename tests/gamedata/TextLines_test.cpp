#include "gamedata/TextLines.h"
#include "support/Errors.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace skarvel {
namespace {

using Lines = std::vector<std::string>;

TEST(TextLinesTest, SplitsAtEveryKindOfLineEnding) {
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"a\n\r", {"a", ""}}, // LF then a lone CR: two line endings
        {"\r\n", {""}},
        {"\xf6\tx ", {"\xf6\tx "}},
    };
    for (const auto& [text, lines] : cases) {
        EXPECT_EQ(splitLines(text), lines) << text;
    }
}

TEST(TextLinesTest, JoinsWithCrLfAfterEveryLine) {
    EXPECT_EQ(joinLines({}), "");
    EXPECT_EQ(joinLines({""}), "\r\n");
    EXPECT_EQ(joinLines({"[Ship0]", "nickname = a"}), "[Ship0]\r\nnickname = a\r\n");
}

TEST(TextLinesTest, FileRoundTripAndRefusalOfBinaryFiles) {
    test::TempDir dir;
    const std::string path = dir.folder() + "shiparch.ini";
    test::writeBytes(path, "[Ship]\nnickname = a\r\n");
    EXPECT_EQ(readTextLines(path), (Lines{"[Ship]", "nickname = a"}));

    writeTextLines(path, {"[Ship0]", "nickname = a"});
    EXPECT_EQ(test::readBytes(path), "[Ship0]\r\nnickname = a\r\n");

    const std::string packed = dir.folder() + "packed.ini";
    const std::string binary("BINI\x01\0\0\0[Ship]\r\n", 16);
    test::writeBytes(packed, binary);
    EXPECT_EQ(test::errorOf<std::runtime_error>([&] { readTextLines(packed); }),
              packed + " is not a text file");
    EXPECT_EQ(test::readBytes(packed), binary);
    EXPECT_THROW(readTextLines(dir.folder() + "missing.ini"), std::runtime_error);
}

} // namespace
} // namespace skarvel
