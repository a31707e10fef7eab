#include "EditorSession.h"
#include "ships/ShipFilter.h"
#include "support/PeBuilder.h"

namespace skarvel::test {
namespace {

// A mod's layout: its own DLL third in the list, so ids_name 237040 (file 3) names a ship
// there; 237033 has a blank string there and a line in resource.ini; the second ship has
// no ids_name.
class ShipNamesTest : public EditorSession {
protected:
    ShipNamesTest() {
        writeBytes(
            tmp.path() / "game/Exe/FreeLancer.ini",
            "[Resources]\r\nDLL = one.dll\r\nDLL = two.dll\r\nDLL = mymod.dll ; the mod\r\n");
        // A lookup in the wrong file finds these.
        for (const char* name : {"resources.dll", "one.dll", "two.dll"}) {
            writeBytes(tmp.path() / "game/Exe" / name, buildPe({{40432, u"wrong file"}}).bytes);
        }
    }
    void writeModDll(const std::string& bytes) {
        writeBytes(tmp.path() / "game/Exe/MyMod.dll", bytes);
    }
};

// The list holds UTF-8: the DLLs' characters whatever they are, resource.ini's Windows-1252
// bytes converted; the journal gets Windows-1252 back.
TEST_F(ShipNamesTest, TheGameNamesAShipBeforeResourceIniAndTheUnknownName) {
    writeModDll(
        buildPe({{40432, u" \u2039\u2039Drone Mk\u2122 \u03a9\u203a\u203a\t"}, {40425, u"  "}})
            .bytes);
    writeBytes(programFolder() + "resource.ini", "[Resource]\n237033 = L\xFC"
                                                 "beck \x8B"
                                                 "Fighter\x9B\n");
    editor->btRelloadClick();
    const std::string drone = "\xE2\x80\xB9\xE2\x80\xB9"
                              "Drone Mk\xE2\x84\xA2 \xCE\xA9\xE2\x80\xBA\xE2\x80\xBA";
    const std::string fighter = "L\xC3\xBC"
                                "beck \xE2\x80\xB9"
                                "Fighter\xE2\x80\xBA";
    EXPECT_EQ(form.items("lbShips"),
              (std::vector<std::string>{fighter, "Unknown Ship (editable)", drone}));
    click(2);
    EXPECT_EQ(form.text("edShipRealName"), drone);
    click(0);
    EXPECT_EQ(form.text("edShipRealName"), fighter);
    const std::string chosen = "[Data   ] Gew\xE4hltes Schiff: lbIndex=";
    EXPECT_TRUE(test::contains(lines(), chosen + "2 IDS_Name=237040 RealName=\x8B\x8B"
                                                 "Drone Mk\x99 ?\x9B\x9B"));
    EXPECT_TRUE(test::contains(lines(), chosen + "0 IDS_Name=237033 RealName=L\xFC"
                                                 "beck \x8B"
                                                 "Fighter\x9B"));
    EXPECT_TRUE(std::ranges::none_of(
        lines(), [](const std::string& line) { return line.starts_with("[Warning]"); }));
}

// A missing or damaged DLL gives no names and one warning at each open, but no message.
TEST_F(ShipNamesTest, MissingAndDamagedDllsFallBackToResourceIni) {
    std::filesystem::remove(tmp.path() / "game/Exe/one.dll");
    const std::string bytes = buildPe({{40432, u"Kusari Drone Mk II"}}).bytes;
    writeModDll(bytes.substr(0, bytes.size() - 1));
    const std::string exe = (tmp.path() / "game/Exe/").string();
    const std::vector<std::string> expected = {
        "[Warning] Names from [" + exe + "one.dll] not readable - file not found",
        "[Warning] Names from [" + exe +
            "MyMod.dll] not readable - resource section out of bounds"};
    for (int open = 0; open < 2; ++open) {
        const auto from = mark();
        editor->btRelloadClick();
        EXPECT_EQ(form.items("lbShips"),
                  (std::vector<std::string>{"Liberty Light Fighter", "Unknown Ship (editable)",
                                            "Kusari Drone"}));
        std::vector<std::string> warnings;
        std::ranges::copy_if(linesSince(from), std::back_inserter(warnings),
                             [](const std::string& line) { return line.starts_with("[Warning]"); });
        EXPECT_EQ(warnings, expected);
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

// The review names the ship as the list does, with the files kept plain: no working number.
TEST_F(ShipNamesTest, TheReviewNamesTheShipByKindNicknameAndName) {
    writeModDll(buildPe({{40432, u"Kusari Drone"}}).bytes);
    editor->dataSet().setKeepFilesPlain([] { return true; });
    editor->btRelloadClick();
    click(2);
    form.setText("edHoldsize", "12");
    form.setText("edShipPrice", "9500");
    saveByButton();
    ASSERT_EQ(dialogs.reviewsShown.size(), 1u);
    const std::string& review = dialogs.reviewsShown.front();
    for (const char* titled : {"\n [Ship] ku_drone (Kusari Drone)\n-hold_size = 10",
                               "\n [Good] ku_drone_hull\n-price = 9000"}) {
        EXPECT_NE(review.find(titled), std::string::npos) << titled << "\n" << review;
    }
}

// The list filter and the nicknames it searches.
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
        {"\xC3\x84gir", "ku_fighter", "\xC3\xA4G", true}, // Latin-1 letters fold too
        {"\xC3\x97", "", "\xC3\xB7", false},              // the signs are no letters
        {"\xE2\x80\xB9\xE2\x80\xB9Sabre\xE2\x80\xBA\xE2\x80\xBA", "", "\xE2\x80\xB9s", true},
        {"\xE2\x80\xB9Sabre", "", "\xE2\x80\xBAs", false},
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
