#include "platform/PeStringTable.h"
#include "support/PeBuilder.h"

#include <functional>
#include <gtest/gtest.h>

namespace skarvel::test {
namespace {

using Strings = std::map<std::uint16_t, std::u16string>;
using Expected = std::map<std::uint16_t, std::string>;

Expected sorted(const PeStringTable& table) {
    return {table.begin(), table.end()};
}

const Strings kStrings = {{0, u"Defender"},          {15, u"\u2039\u2039Sabre\u203a\u203a"},
                          {16, u"Caf\u00e9 \u03a9"}, {40504, u"Rocket \U0001F680!"},
                          {40505, u"\xd800x\xdc00"}, // halves of surrogate pairs, alone
                          {65535, u"last \xdbff"},   {7, u""}};
const Expected kUtf8 = {{0, "Defender"},
                        {15, "\xE2\x80\xB9\xE2\x80\xB9Sabre\xE2\x80\xBA\xE2\x80\xBA"},
                        {16, "Caf\xC3\xA9 \xCE\xA9"},
                        {40504, "Rocket \xF0\x9F\x9A\x80!"},
                        {40505, "\xEF\xBF\xBDx\xEF\xBF\xBD"},
                        {65535, "last \xEF\xBF\xBD"}};

TEST(PeStringTableTest, ReadsTheFirstLanguageOfEveryBlockAsUtf8) {
    const struct {
        const char* what;
        PeOptions options;
    } cases[] = {
        {"PE32", {}}, {"PE32+", {.pe32Plus = true}}, {"two languages", {.secondLanguage = true}}};
    for (const auto& c : cases) {
        EXPECT_EQ(sorted(readPeStringTable(buildPe(kStrings, c.options).bytes)), kUtf8) << c.what;
    }
}

TEST(PeStringTableTest, AFileWithoutStringsGivesNone) {
    const std::size_t directories = 0x58 + 96;
    PeImage noResources = buildPe(kStrings);
    noResources.bytes.replace(directories + 16, 8, 8, '\0');
    PeImage twoDirectories = buildPe(kStrings);
    twoDirectories.bytes[directories - 4] = 2;
    for (const std::string& bytes : {buildPe({}).bytes, noResources.bytes, twoDirectories.bytes}) {
        EXPECT_TRUE(readPeStringTable(bytes).empty());
    }
}

TEST(PeStringTableTest, EveryCutOfTheFileIsRefused) {
    const std::string bytes = buildPe(kStrings).bytes;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_THROW(readPeStringTable(bytes.substr(0, length)), PeFormatError) << length;
    }
}

TEST(PeStringTableTest, DamagedHeadersAndOffsetsAreRefused) {
    const PeImage image = buildPe(kStrings);
    const struct {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        std::size_t width;
    } cases[] = {
        {"no MZ", 0, 0x5A4E, 2},
        {"signature offset far away", 0x3C, 0xFFFFFFF0u, 4},
        {"no PE signature", 0x40, 0x00004551, 4},
        {"unknown optional header", 0x58, 0x30B, 2},
        {"optional header without directories", 0x54, 64, 2},
        {"no section", 0x46, 0, 2},
        {"sections beyond the file", 0x46, 0xFFFF, 2},
        {"raw data beyond the file", image.sectionHeader + 20, 0x7FFFFFF0u, 4},
        {"resource address outside the section", 0x58 + 96 + 16, 0x5000, 4},
        {"resource size beyond the section", 0x58 + 96 + 20, 0x100000, 4},
        {"too many types", image.resources + 14, 0xFFFF, 2},
        {"type without subdirectory", image.resources + 20, 24, 4},
        {"language entry is a directory", image.firstLanguageEntry + 4, 0x80000000u, 4},
        {"data entry far away", image.firstLanguageEntry + 4, 0xFFFFFF, 4},
        {"block longer than the section", image.firstDataEntry + 4, 0x100000, 4},
        {"block cut short", image.firstDataEntry + 4, 3, 4},
        {"string longer than its block", image.firstBlock, 0x7FFF, 2},
    };
    for (const auto& c : cases) {
        std::string bytes = image.bytes;
        for (std::size_t i = 0; i < c.width; ++i) {
            bytes[c.at + i] = static_cast<char>(c.value >> (8 * i) & 0xFF);
        }
        EXPECT_THROW(readPeStringTable(bytes), PeFormatError) << c.what;
    }
}

TEST(PeStringTableTest, AnyChangedByteIsReadOrRefusedWithoutCrash) {
    const std::string bytes = buildPe(kStrings, {.secondLanguage = true}).bytes;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        for (const int flip : {0x01, 0x80, 0xFF}) {
            std::string changed = bytes;
            changed[at] = static_cast<char>(changed[at] ^ flip);
            try {
                readPeStringTable(changed);
            } catch (const PeFormatError&) {
            }
        }
    }
}

} // namespace
} // namespace skarvel::test
