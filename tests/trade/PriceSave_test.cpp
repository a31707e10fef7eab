#include "ships/EditorSession.h"
#include "trade/PriceSave.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace skarvel::trade {
namespace {

class PriceSaveTest : public test::EditorSession {
protected:
    PriceSaveTest() : EditorSession("game-trade") { editor->btRelloadClick(); }

    Calculator read() const {
        return Calculator(readTradeData(editor->dataSet().files().dataDir, {}));
    }
    // The lines of the file that differ from before, as "old -> new".
    std::vector<std::string> changedLines(const std::string& before, const std::string& after) {
        const test::Lines was = test::splitLines(before), now = test::splitLines(after);
        EXPECT_EQ(was.size(), now.size());
        std::vector<std::string> changed;
        for (std::size_t i = 0; i < std::min(was.size(), now.size()); ++i) {
            if (was[i] != now[i]) {
                changed.push_back(was[i] + " -> " + now[i]);
            }
        }
        return changed;
    }
};

TEST_F(PriceSaveTest, AnEditedBasePriceChangesExactlyOneLine) {
    ASSERT_TRUE(editor->dataSet().isOpen());
    Calculator calculator = read();
    const std::string goods = gameText("Equipment/goods.ini");
    const std::string markets = gameText("Equipment/market_commodities.ini");
    ASSERT_TRUE(
        calculator.setBasePrice(calculator.data().commodityIndex.at("commodity_food"), "150"));
    // A multiplier is tried out only: it is no change of the one write path.
    ASSERT_TRUE(calculator.setMultiplier(0, "0.9"));
    ASSERT_EQ(priceChanges(calculator).size(), 1U);

    EXPECT_EQ(savePrices(*journal, dialogs, editor->dataSet(), calculator),
              PriceSaveOutcome::Saved);
    EXPECT_EQ(changedLines(goods, gameText("Equipment/goods.ini")),
              std::vector<std::string>{"price = 100 ; per unit -> price = 150 ; per unit"});
    EXPECT_EQ(gameText("Equipment/market_commodities.ini"), markets);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(
        read().data().commodities[calculator.data().commodityIndex.at("commodity_food")].price,
        150);

    // The backup before it holds the trade files too, as they are.
    const std::vector<Backup> backups = editor->dataSet().backups().store().list();
    ASSERT_FALSE(backups.empty());
    std::vector<std::string> paths;
    for (const BackupFile& file : backups.front().manifest.files) {
        paths.push_back(file.path);
    }
    EXPECT_EQ(paths.size(), 8U);
    for (const char* path : {"EQUIPMENT/market_commodities.ini", "EQUIPMENT/Select_Equip.ini"}) {
        EXPECT_NE(std::find(paths.begin(), paths.end(), path), paths.end()) << path;
    }

    // Saved again with nothing new: nothing is written.
    EXPECT_EQ(savePrices(*journal, dialogs, editor->dataSet(), read()),
              PriceSaveOutcome::NothingChanged);
}

} // namespace
} // namespace skarvel::trade
