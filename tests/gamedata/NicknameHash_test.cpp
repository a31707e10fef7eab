#include "gamedata/NicknameHash.h"

#include <gtest/gtest.h>

namespace skarvel {
namespace {

// initialworld.ini stores locked gates by this hash: letter case must not count, and the
// top bit is always set.
TEST(NicknameHash, GivesTheGamesValues) {
    struct Case {
        const char* nickname;
        std::uint32_t hash;
    };
    for (const Case& c :
         {Case{"li_elite", 3074863431u}, Case{"LI_Elite", 3074863431u}, Case{"", 0x80000000u}}) {
        EXPECT_EQ(nicknameHash(c.nickname), c.hash) << c.nickname;
    }
    EXPECT_NE(nicknameHash("a_to_c_hole"), nicknameHash("a_to_b_gate"));
}

} // namespace
} // namespace skarvel
