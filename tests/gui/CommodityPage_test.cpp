#include "gui/DemoWindow.h"
#include "support/JournalLines.h"
#include "support/TestFiles.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace skarvel {
namespace {

// The demo game's universe is the test universe of the trade tests (its own gold and water
// prices aside); its first ship holds 20.
class CommodityPage : public test::DemoWindow {
protected:
    CommodityPage() { window->ShowPage(QStringLiteral("Commodity")); }

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
    EXPECT_TRUE(test::control<QComboBox>(*window, "cbRouteShip").currentText().endsWith("(20)"));
    // Food from a1 to a3 by the lane: 80 a unit, 20 units, 67.3 s.
    EXPECT_EQ(cell("tvRoutes", 0, 0), "base_a1");
    EXPECT_EQ(cell("tvRoutes", 0, 1), "base_a3");
    EXPECT_EQ(number("tvRoutes", 0, 5), 1600);
    EXPECT_EQ(cell("tvRoutes", 0, 6), "1:07");
    // Food from a1 to b1 through the gate: 110 x 20 in 275 s.
    EXPECT_EQ(cell("tvRoutes", 1, 1), "base_b1");
    EXPECT_NEAR(number("tvRoutes", 1, 7), 480, 1e-9);

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
    EXPECT_EQ(number("tvRoutes", 0, 5), 2400);
    EXPECT_EQ(number("tvMarkets", 0, 3), 120); // a1 sells it for 0.8 of it
    QTest::keyClick(editor, Qt::Key_Return);

    const std::string before = goods();
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
    // a3 now pays 300 for food bought at 80 in a1: 220 x 20.
    EXPECT_EQ(number("tvRoutes", 0, 5), 4400);
    EXPECT_TRUE(test::control<QPushButton>(*window, "btCommoditySave").isEnabled());
    // Escape gives the multiplier back.
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(number("tvRoutes", 0, 5), 1600);
    EXPECT_FALSE(test::control<QPushButton>(*window, "btCommoditySave").isEnabled());
    EXPECT_TRUE(hand.unexpected.empty());
}

} // namespace
} // namespace skarvel
