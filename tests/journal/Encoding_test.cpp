#include "journal/Encoding.h"

#include <gtest/gtest.h>

namespace skarvel {
namespace {

TEST(Encoding, Windows1252BothWays) {
    const struct {
        const char* utf8;
        const char* cp1252;
    } cases[] = {
        {"Gr\xC3\xB6\xC3\x9F"
         "e",
         "Gr\xF6\xDF"
         "e"},
        {"\xE2\x80\xB9Sabre\xE2\x80\xBA \xE2\x82\xAC \xE2\x84\xA2", "\x8BSabre\x9B \x80 \x99"},
        {"\xC2\x81\xC2\x9D", "\x81\x9D"}, // the free bytes stand for their control characters
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toCp1252(c.utf8), c.cp1252) << c.utf8;
        EXPECT_EQ(fromCp1252(c.cp1252), c.utf8) << c.utf8;
    }
}

TEST(Encoding, CharactersTheCodePageLacksBecomeQuestionMarksOtherBytesPass) {
    const struct {
        const char* utf8;
        const char* cp1252;
    } cases[] = {
        {"Omega \xCE\xA9, rocket \xF0\x9F\x9A\x80", "Omega ?, rocket ?"},
        {"\xC2\x80", "?"}, // a control character the code page has no byte for
        {"L\xFC"
         "beck \xE2\x80",
         "L\xFC"
         "beck \xE2\x80"},                // bytes of another encoding, a cut sequence
        {"\xED\xA0\x80", "\xED\xA0\x80"}, // a surrogate is no character
        {"\xC0\xAF", "\xC0\xAF"},         // nor is an overlong form
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toCp1252(c.utf8), c.cp1252) << c.utf8;
    }
}

} // namespace
} // namespace skarvel
