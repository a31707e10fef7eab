// The look before a save: it shows exactly the lines the save then writes, and Cancel or
// "Don't show again" are honoured.
#include "EditorSession.h"
#include "gamedata/ChangeReview.h"
#include "gamedata/LineDiff.h"
#include "platform/Files.h"

#include <functional>
#include <map>
#include <sstream>

namespace skarvel::test {
namespace {

using Marked = std::map<std::string, std::vector<std::string>>; // path -> '-' and '+' lines

struct ReviewCase {
    std::string name;
    std::function<void(MemoryForm&, Editor&)> edit;
};

class ReviewTest : public EditorSession, public ::testing::WithParamInterface<ReviewCase> {
protected:
    ReviewTest() { editor->btRelloadClick(); }

    std::map<std::string, std::string> filesOnDisk() const {
        std::map<std::string, std::string> bytes;
        for (std::size_t i = 1; i < kSettingsFileCount; ++i) {
            const std::string& path = editor->dataSet().ini(static_cast<SettingsFile>(i)).path();
            bytes[path] = readFile(path);
        }
        return bytes;
    }

    // The changed lines of the review, by file; each change follows its section's header.
    static Marked markedInReview(const std::string& text) {
        Marked marked;
        std::istringstream lines(text);
        std::string file;
        std::string previous;
        for (std::string line; std::getline(lines, line); previous = line) {
            if (line.rfind("--- ", 0) == 0) {
                file = line.substr(4);
            } else if (line.rfind("@@ line ", 0) == 0) {
                EXPECT_TRUE(previous.rfind("+++ ", 0) == 0 || previous[0] == '-' ||
                            previous[0] == '+')
                    << text;
            } else if (previous.rfind("@@ line ", 0) == 0) {
                EXPECT_EQ(line.rfind(" [", 0), 0u) << "the header is the context\n" << text;
            } else if (!line.empty() && (line[0] == '-' || line[0] == '+') &&
                       line.rfind("+++ ", 0) != 0) {
                marked[file].push_back(line);
            }
        }
        return marked;
    }

    static Marked markedByTheSave(const std::map<std::string, std::string>& before,
                                  const std::map<std::string, std::string>& after) {
        Marked marked;
        for (const auto& [path, bytes] : before) {
            for (const DiffLine& line : lineDiff(bytes, after.at(path), 0)) {
                if (line.mark == '-' || line.mark == '+') {
                    marked[path].push_back(line.mark + line.text);
                }
            }
        }
        return marked;
    }
};

TEST_P(ReviewTest, ShowsExactlyTheLinesTheSaveWrites) {
    click(0);
    GetParam().edit(form, *editor);
    const auto before = filesOnDisk();
    saveByButton();
    ASSERT_EQ(dialogs.reviewsShown.size(), 1u);
    const Marked shown = markedInReview(dialogs.reviewsShown.front());
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(shown, markedByTheSave(before, filesOnDisk())) << dialogs.reviewsShown.front();
}

INSTANTIATE_TEST_SUITE_P(
    Saves, ReviewTest,
    ::testing::Values(ReviewCase{"ShipValue", [](MemoryForm& form,
                                                 Editor&) { form.setText("edHoldsize", "77"); }},
                      ReviewCase{
                          "GeneralValue",
                          [](MemoryForm& form, Editor&) { form.setText("edMaxSpeed", "390"); }},
                      ReviewCase{"HardpointRaise",
                                 [](MemoryForm& form, Editor& editor) {
                                     form.setSelectedIndex("cbWeaponHP", 0);
                                     editor.hardpoints().cbWeaponHPChange();
                                     const int level =
                                         std::stoi("0" + form.text("edWeaponHPLevel"));
                                     form.setText("edWeaponHPLevel", std::to_string(level + 1));
                                     editor.hardpoints().edWeaponHPLevelChange();
                                 }},
                      ReviewCase{"EveryFile",
                                 [](MemoryForm& form, Editor& editor) {
                                     form.setText("edPanzerung", "3500");
                                     form.setText("edShipPrice", "12500");
                                     form.setText("edPowerCapacity", "850");
                                     form.setText("edReverseFraction", "0,2");
                                     form.setText("edStartingMoney", "4000");
                                     form.setSelectedIndex("cbStartingBase", 1);
                                     editor.cbStartingBaseChange();
                                 }}),
    [](const auto& param) { return param.param.name; });

TEST_F(EditorSession, ReviewCancelledWritesNothingAndKeepsTheEdits) {
    editor->btRelloadClick();
    click(0);
    form.setText("edHoldsize", "77");
    const auto before = gameFiles();
    dialogs.reviewAnswers.push_back({false, false});
    saveByButton();
    EXPECT_EQ(gameFiles(), before);
    EXPECT_EQ(form.text("edHoldsize"), "77");
    EXPECT_FALSE(editor->pendingSave().empty());
}

TEST_F(EditorSession, DontShowAgainTurnsTheReviewOff) {
    bool reviewOn = true;
    editor->setReviewSwitch({[&] { return reviewOn; }, [&] { reviewOn = false; }});
    editor->btRelloadClick();
    click(0);
    form.setText("edHoldsize", "77");
    dialogs.reviewAnswers.push_back({true, true});
    saveByButton();
    form.setText("edHoldsize", "78");
    saveByButton();
    EXPECT_FALSE(reviewOn);
    EXPECT_EQ(dialogs.reviewsShown.size(), 1u);
    EXPECT_NE(gameText("Ships/shiparch.ini").find("78"), std::string::npos);
}

// Each changed section is named by its kind, its nickname (a [BaseGood] by its base) and the
// game's name, never by the number the open gave it, nor by the plain header's place.
TEST(ReviewTitles, NameTheSectionAsTheUserKnowsIt) {
    struct Case {
        const char* name;
        std::string before;
        std::string from, to; // the edit
        std::vector<std::string> titles;
    };
    const std::string ships = "[Ship0]\r\nids_name = 237033\r\nnickname = li_fighter\r\n"
                              "hit_pts = 1700\r\n\r\n[Ship1] ; elite\r\nids_name = 237034\r\n"
                              "nickname = li_elite ; the elite\r\nhit_pts = 2500\r\n";
    std::string plainShips = ships;
    for (const char* numbered : {"[Ship0]", "[Ship1]"}) {
        plainShips.replace(plainShips.find(numbered), 7, "[Ship]");
    }
    const Case cases[] = {
        {"NumberedShip", ships, "hit_pts = 2500", "hit_pts = 3500", {"[Ship] li_elite (Defender)"}},
        {"PlainShipKeptPlain",
         plainShips,
         "hit_pts = 1700",
         "hit_pts = 1800",
         {"[Ship] li_fighter (Light Fighter)"}},
        {"UnknownName",
         "[Ship7]\nids_name = 999001\nnickname = mod_escape_pod\nmass = 5\n",
         "mass = 5",
         "mass = 6",
         {"[Ship] mod_escape_pod"}},
        {"Good",
         "[Good12]\r\nnickname = commodity_gold\r\nids_name = 261000\r\nprice = 600\r\n"
         "[Engine3]\r\nnickname = ge_le_engine_01\r\nmax_force = 48000\r\n",
         "600",
         "650",
         {"[Good] commodity_gold (Gold)"}},
        {"MarketGood",
         "[BaseGood]\r\nbase = li01_01_base\r\n"
         "MarketGood = commodity_gold, 0, -1, 150, 500, 0, 1.2\r\n"
         "MarketGood = commodity_oxygen, 0, -1, 150, 500, 0, 1\r\n",
         "0, 1.2",
         "0, 1.5",
         {"[BaseGood] li01_01_base"}},
        {"NoName",
         "[PhySysConsts] ; speeds\nANOM_LIMITS_MAX_VELOCITY = 350\n",
         "350",
         "380",
         {"[PhySysConsts]"}},
        {"TwoSections",
         ships,
         "= 1700\r\n\r\n[Ship1] ; elite\r\nids_name = 237034",
         "= 1750\r\n\r\n[Ship1] ; elite\r\nids_name = 237035",
         {"[Ship] li_fighter (Light Fighter)", "[Ship] li_elite (Defender)"}},
    };
    const std::map<std::string, std::string> gameNames = {
        {"237033", "Light Fighter"}, {"237034", "Defender"}, {"261000", "Gold"}};
    const SectionNames names = [&](const ini::ParsedIni& ini, const ini::ParsedIni::Section& at) {
        const auto* id = ini.findKey(at, "ids_name");
        const auto found = id ? gameNames.find(ini.value(*id)) : gameNames.end();
        return found == gameNames.end() ? std::string() : found->second;
    };
    for (const Case& c : cases) {
        std::string after = c.before;
        after.replace(after.find(c.from), c.from.size(), c.to);
        const auto reviews =
            reviewOf({{SettingsFile::ShipArch, "x.ini", c.before, after, nullptr, nullptr}}, names);
        ASSERT_EQ(reviews.size(), 1u) << c.name;
        std::vector<std::string> titles;
        for (const DiffLine& line : reviews.front().lines) {
            if (line.mark == ' ') {
                titles.push_back(line.text);
            }
        }
        EXPECT_EQ(titles, c.titles) << c.name << "\n" << reviewText(reviews);
    }
}

} // namespace
} // namespace skarvel::test
