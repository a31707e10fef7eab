#include "EditorSession.h"
#include "ships/ShipFilter.h"

namespace skarvel::test {
namespace {

TEST(ShipFilter, NameOrNicknameContainsTheTextInAnyLetterCase) {
    struct Case {
        const char* name;
        const char* nickname;
        const char* text;
        bool shown;
    };
    const Case cases[] = {
        {"Defender", "li_elite", "", true},
        {"Defender", "li_elite", "FEND", true},
        {"Defender", "li_elite", "Elite", true},
        {"Defender", "li_elite", "rhino", false},
        {"Defender", "li_elite", "li_elite_2", false},
        {"\xC4gir", "ku_fighter", "\xE4G", true}, // Latin-1 letters fold too
        {"Rhino", "", "rh", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shipMatchesFilter(c.name, c.nickname, c.text), c.shown)
            << c.name << " " << c.text;
    }
}

using ShipNicknames = EditorSession;

TEST_F(ShipNicknames, OnePerShipInListOrderWhileTheSetIsOpen) {
    EXPECT_TRUE(shipNicknames(editor->dataSet()).empty());
    editor->btRelloadClick();
    EXPECT_EQ(shipNicknames(editor->dataSet()),
              (std::vector<std::string>{"li_fighter", "LI_Elite", "ku_drone"}));
}

} // namespace
} // namespace skarvel::test
