#include "app/TradeModels.h"
#include "gui/DemoWindow.h"
#include "support/JournalLines.h"
#include "support/TestFiles.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace skarvel {
namespace {

// The demo game's universe is the test universe of the trade tests with every base open to
// players and no gate locked (its own gold and water prices aside). Its markets sell three
// ships, the first of them holding 30; every engine charges for 5 s.
class CommodityPage : public test::DemoWindow {
protected:
    CommodityPage() {
        window->ShowPage(QStringLiteral("Commodity"));
        waitIdle();
    }

    // The reading and a new ship's routes run off the window's thread.
    void waitIdle() {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return test::control<QLabel>(*window, "labTradeWorking").isHidden(); }, 10000));
    }

    QAbstractItemModel& model(const char* table) {
        return *test::control<QTableView>(*window, table).model();
    }
    QString cell(const char* table, int row, int column) {
        return model(table).index(row, column).data().toString();
    }
    // The number a cell shows, as the table sorts it.
    double number(const char* table, int row, int column) {
        return model(table).index(row, column).data(Qt::UserRole).toDouble();
    }
    std::string goods() const {
        return test::readBytes(env.prefix / "drive_c/Games/Freelancer/DATA/EQUIPMENT/goods.ini");
    }
};

TEST_F(CommodityPage, ShowsTheBestTradesAndSavesATypedPriceInOneLine) {
    ASSERT_EQ(model("tvCommodities").rowCount(), 4);
    ASSERT_GE(model("tvRoutes").rowCount(), 2);
    EXPECT_TRUE(test::control<QComboBox>(*window, "cbRouteShip").currentText().endsWith("(30)"));
    // Food from a1 to a3 by the lane: 80 a unit, 30 units, 87.3 s (the trade tests' sum).
    EXPECT_EQ(cell("tvRoutes", 0, 0), "base_a1, sys_a");
    EXPECT_EQ(cell("tvRoutes", 0, 1), "base_a3, sys_a");
    EXPECT_EQ(number("tvRoutes", 0, 5), 2400);
    EXPECT_EQ(cell("tvRoutes", 0, 6), "1:27");
    EXPECT_EQ(cell("tvRoutes", 0, 9), QStringLiteral("sys_a (lane a_lane_1\u2013a_lane_4)"));
    // Food from a1 to b1 through the gate: 110 x 30 in 290 s.
    EXPECT_EQ(cell("tvRoutes", 1, 1), "base_b1, sys_b");
    EXPECT_NEAR(number("tvRoutes", 1, 7), 3300 * 60 / 290.0, 1e-9);
    EXPECT_EQ(cell("tvRoutes", 1, 9), QStringLiteral("sys_a \u2192 gate \u2192 sys_b"));

    // The food's base price typed as 150: every figure follows at once.
    QTableView& commodities = test::control<QTableView>(*window, "tvCommodities");
    const QModelIndex food =
        model("tvCommodities")
            .match(model("tvCommodities").index(0, 1), Qt::DisplayRole, "commodity_food")[0];
    commodities.setCurrentIndex(food.siblingAtColumn(2));
    commodities.edit(food.siblingAtColumn(2));
    auto* editor = commodities.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("150"));
    EXPECT_EQ(number("tvRoutes", 0, 5), 3600);
    EXPECT_EQ(number("tvMarkets", 0, 3), 120); // a1 sells it for 0.8 of it
    QTest::keyClick(editor, Qt::Key_Return);
    // The typed cell is marked as a changed Fleet cell is; the name beside it is not.
    EXPECT_TRUE(food.siblingAtColumn(2).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(food.siblingAtColumn(1).data(Qt::BackgroundRole).isValid());

    const std::string before = goods();
    hand.click("btReviewSave"); // the one review of every page's changes
    test::control<QPushButton>(*window, "btCommoditySave").click();
    const std::string after = goods();
    const test::Lines was = test::splitLines(before), now = test::splitLines(after);
    ASSERT_EQ(now.size(), was.size());
    std::vector<std::string> changed;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i] != was[i]) {
            changed.push_back(was[i] + " -> " + now[i]);
        }
    }
    EXPECT_EQ(changed,
              std::vector<std::string>{"price = 100 ; per unit -> price = 150 ; per unit"});
    EXPECT_TRUE(hand.unexpected.empty());
}

TEST_F(CommodityPage, ATypedMultiplierMovesTheRoutesAtOnce) {
    QTableView& commodities = test::control<QTableView>(*window, "tvCommodities");
    commodities.setCurrentIndex(
        model("tvCommodities")
            .match(model("tvCommodities").index(0, 1), Qt::DisplayRole, "commodity_food")[0]);
    QTableView& markets = test::control<QTableView>(*window, "tvMarkets");
    const QModelIndex a3 =
        model("tvMarkets").match(model("tvMarkets").index(0, 0), Qt::DisplayRole, "base_a3")[0];
    markets.setCurrentIndex(a3.siblingAtColumn(2));
    markets.edit(a3.siblingAtColumn(2));
    auto* editor = markets.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("3"));
    // a3 now pays 300 for food bought at 80 in a1: 220 x 30.
    EXPECT_EQ(number("tvRoutes", 0, 5), 6600);
    EXPECT_TRUE(test::control<QPushButton>(*window, "btCommoditySave").isEnabled());
    // Escape gives the multiplier back.
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(number("tvRoutes", 0, 5), 2400);
    EXPECT_FALSE(test::control<QPushButton>(*window, "btCommoditySave").isEnabled());
    EXPECT_TRUE(hand.unexpected.empty());
}

TEST_F(CommodityPage, ShipsSoldComeFirstAndRoundTripsAreASecondOrder) {
    QComboBox& ships = test::control<QComboBox>(*window, "cbRouteShip");
    // li_elite, li_freighter and ge_freighter are sold at markets; a separator, then the rest.
    ASSERT_EQ(ships.count(), 9);
    EXPECT_TRUE(ships.itemText(1).endsWith("(125)"));
    EXPECT_TRUE(ships.itemText(2).endsWith("(70)"));
    EXPECT_FALSE(ships.itemData(3).isValid());
    // By the loop: a1 -> a3 food 2,400 and nothing back in 174.7 s; a1 -> b1 food 3,300 and
    // gold (420 -> 480) 1,800 back in 580 s.
    test::control<QComboBox>(*window, "cbRouteOrder").setCurrentIndex(1);
    waitIdle();
    EXPECT_NEAR(number("tvRoutes", 0, 12), 2400 * 60 / (2 * 87.3333333), 1e-3);
    EXPECT_EQ(cell("tvRoutes", 0, 10), "nothing");
    EXPECT_NEAR(number("tvRoutes", 1, 12), 5100 * 60 / 580.0, 1e-9);
    // A ship of its own engine: the routes follow when its travel times are found.
    ships.setCurrentIndex(4);
    waitIdle();
    EXPECT_GE(model("tvRoutes").rowCount(), 3);
    EXPECT_TRUE(hand.unexpected.empty());
}

// The markets table over the trade tests' universe: the mining base moors NPCs only.
TEST(CommodityMarkets, NpcOnlyBasesSayWhy) {
    const trade::Calculator calculator(
        trade::readTradeData(test::fixturePath("game-trade/game").string() + "/DATA/", {}));
    const trade::Calculator* shown = &calculator;
    MarketTableModel markets(shown, {}, nullptr);
    markets.showCommodity(calculator.data().commodityIndex.at("commodity_ore"));
    QStringList trades, tips;
    for (int row = 0; row < markets.rowCount(); ++row) {
        trades << markets.index(row, MarketTableModel::Trade).data().toString();
        tips << markets.index(row, 0)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .section(QLatin1Char(':'), 0, 0);
    }
    EXPECT_EQ(trades, (QStringList{"sells", "NPC only", "buys only"}));
    EXPECT_EQ(tips, (QStringList{"", "NPC only", "Behind a locked gate"}));
}

} // namespace
} // namespace skarvel
