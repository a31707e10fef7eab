#include "BiniFormat.h"
#include "ships/EditorSession.h"
#include "support/Errors.h"
#include "trade/PriceSave.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace skarvel::trade {
namespace {

class PriceSaveTest : public test::EditorSession {
protected:
    PriceSaveTest() : EditorSession("game-trade") {}

    Calculator read() const {
        return Calculator(readTradeData(editor->dataSet().files().dataDir, {}));
    }
    std::size_t food(const Calculator& calculator) const {
        return calculator.data().commodityIndex.at("commodity_food");
    }
    // The lines of the file that differ from before, as "old -> new".
    static std::vector<std::string> changedLines(const std::string& before,
                                                 const std::string& after) {
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
    PriceSaveOutcome save(const Calculator& calculator) {
        return savePrices(*journal, dialogs, editor->dataSet(), calculator);
    }
};

TEST_F(PriceSaveTest, AnEditedBasePriceChangesExactlyOneLine) {
    editor->btRelloadClick();
    ASSERT_TRUE(editor->dataSet().isOpen());
    Calculator calculator = read();
    const std::string goods = gameText("Equipment/goods.ini");
    const std::string markets = gameText("Equipment/market_commodities.ini");
    ASSERT_TRUE(calculator.setBasePrice(food(calculator), "150"));

    EXPECT_EQ(save(calculator), PriceSaveOutcome::Saved);
    EXPECT_EQ(changedLines(goods, gameText("Equipment/goods.ini")),
              std::vector<std::string>{"price = 100 ; per unit -> price = 150 ; per unit"});
    EXPECT_EQ(gameText("Equipment/market_commodities.ini"), markets);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(read().data().commodities[food(calculator)].price, 150);

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
    EXPECT_EQ(save(read()), PriceSaveOutcome::NothingChanged);
}

// The multiplier of food at base_b1, the second of the lines that [BaseGood] holds; a
// compressed file is written as text, else only that line changes.
TEST_F(PriceSaveTest, AnEditedMultiplierChangesTheOneMarketGoodLine) {
    for (const bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "compressed" : "text");
        const std::string path = gameFile("Equipment/market_commodities.ini");
        const std::string text =
            compressed ? bini::toText(bini::fromText(gameText("Equipment/market_commodities.ini")))
                       : gameText("Equipment/market_commodities.ini");
        if (compressed) {
            test::writeBytes(path, bini::fromText(text));
        }
        editor->btRelloadClick();
        Calculator calculator = read();
        const std::vector<std::size_t>& markets = calculator.marketsOf(food(calculator));
        const auto atB1 = std::find_if(markets.begin(), markets.end(), [&](std::size_t m) {
            return calculator.data().bases[calculator.data().markets[m].base].nickname == "base_b1";
        });
        ASSERT_NE(atB1, markets.end());
        ASSERT_TRUE(calculator.setMultiplier(*atB1, "2.5"));
        EXPECT_EQ(calculator.price(*atB1), 250);

        EXPECT_EQ(save(calculator), PriceSaveOutcome::Saved);
        EXPECT_EQ(changedLines(text, gameText("Equipment/market_commodities.ini")),
                  std::vector<std::string>{"MarketGood = commodity_food, 0, -1, 0, 0, 1, 1.9 -> "
                                           "MarketGood = commodity_food, 0, -1, 0, 0, 1, 2.5"});
        EXPECT_EQ(read().price(*atB1), 250);
        test::writeBytes(path, text);
    }
}

// goods.ini deleted while the set is open: the save says so, before a backup or any write.
TEST_F(PriceSaveTest, AMissingFileIsNamedAndNothingIsWritten) {
    editor->btRelloadClick();
    Calculator calculator = read();
    ASSERT_TRUE(calculator.setBasePrice(food(calculator), "150"));
    const std::string path = editor->dataSet().goodsIni().path();
    std::filesystem::remove(path);
    const std::size_t backups = editor->dataSet().backups().store().list().size();
    EXPECT_EQ(test::errorOf<std::runtime_error>([&] { save(calculator); }),
              "Nothing was written, because these files cannot take the values as they are "
              "now:\n\r" +
                  path + " is missing (price)");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(editor->dataSet().backups().store().list().size(), backups);
}

} // namespace
} // namespace skarvel::trade
