// The EQUIPMENT page in the real window: a kind's table, a filtered change with its undo and
// save, pinned rows compared, and where a nickname is used.
#include "app/EquipmentPage.h"
#include "app/PinPanel.h"
#include "gamedata/TextLines.h"
#include "gui/DemoWindow.h"
#include "platform/CaseInsensitivePath.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>

namespace skarvel::test {
namespace {

class EquipmentWindow : public DemoWindow {
protected:
    EquipmentWindow() {
        clickMenu(*window, QStringLiteral("EQUIPMENT"));
        EXPECT_TRUE(waitUntil([&] { return table().model()->rowCount() > 0; }));
        page().showKind(QStringLiteral("Power"));
    }

    EquipmentPage& page() {
        return *dynamic_cast<EquipmentPage*>(
            window->findChild<QObject*>(QStringLiteral("EquipmentPage")));
    }
    QTableView& table() { return control<QTableView>(*window, "tvEquipment"); }
    int column(const char* key) {
        for (int c = 0; c < table().model()->columnCount(); ++c) {
            if (table().model()->headerData(c, Qt::Horizontal).toString() == key) {
                return c;
            }
        }
        ADD_FAILURE() << key;
        return 0;
    }
    QString shown(int row, int c) { return table().model()->index(row, c).data().toString(); }
    void select(int firstRow, int lastRow, int c) {
        table().selectionModel()->select(
            QItemSelection(table().model()->index(firstRow, c), table().model()->index(lastRow, c)),
            QItemSelectionModel::ClearAndSelect);
    }
    std::string miscEquip() {
        return readBytes(resolveCaseInsensitive(fieldText(*window, "edPfad").toStdString() +
                                                "DATA/EQUIPMENT/misc_equip.ini"));
    }
};

TEST_F(EquipmentWindow, EveryLibertyPowerPlantGetsOneValueInOneUndoableSave) {
    ASSERT_EQ(table().model()->rowCount(), 8);
    QTest::keyClicks(&control<QLineEdit>(*window, "edEquipmentFilter"), QStringLiteral("li_"));
    ASSERT_EQ(table().model()->rowCount(), 3);
    const int capacity = column("capacity");
    select(0, 2, capacity);
    page().setChangeAsker([](const QString& header, int rows, const QString&) {
        EXPECT_EQ(header, QStringLiteral("capacity"));
        EXPECT_EQ(rows, 3);
        return EquipmentPage::ChangeAnswer{{TableOperation::Add, QStringLiteral("50")}};
    });
    const std::string before = miscEquip();
    click(control<QPushButton>(*window, "btEquipmentChange"));
    EXPECT_EQ(shown(2, capacity), QStringLiteral("650"));

    // One step of the window's history.
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(shown(2, capacity), QStringLiteral("600"));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(shown(2, capacity), QStringLiteral("650"));
    EXPECT_EQ(miscEquip(), before) << "nothing is written before the review";

    hand.click("btReviewSave");
    click(control<QPushButton>(*window, "btEquipmentReview"));
    ASSERT_TRUE(waitUntil([&] { return page().equipment().edits().empty(); }));
    const auto lines = splitLines(before);
    const auto after = splitLines(miscEquip());
    ASSERT_EQ(lines.size(), after.size());
    std::vector<std::string> changed;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != after[i]) {
            changed.push_back(after[i]);
        }
    }
    EXPECT_EQ(changed,
              (std::vector<std::string>{"capacity = 450", "capacity = 550", "capacity = 650"}));
}

TEST_F(EquipmentWindow, PinnedRowsShowTheirDifferencesSideBySide) {
    select(0, 1, column("capacity"));
    page().pinSelected();
    auto& panel = control<QTableWidget>(*window, "tvEquipmentCompare");
    ASSERT_TRUE(panel.isVisible());
    ASSERT_EQ(panel.columnCount(), 2);
    int line = -1;
    for (int row = 0; row < panel.rowCount(); ++row) {
        if (panel.verticalHeaderItem(row)->text() == QStringLiteral("capacity")) {
            line = row;
        }
    }
    ASSERT_GE(line, 0);
    EXPECT_EQ(panel.item(line, 0)->text(), QStringLiteral("400"));
    EXPECT_EQ(panel.item(line, 1)->text(), QStringLiteral("500 (+100)"));
    // Pins stay for their kind while another kind is shown.
    page().showKind(QStringLiteral("Gun"));
    EXPECT_FALSE(panel.isVisible());
    page().showKind(QStringLiteral("Power"));
    EXPECT_EQ(page().pins().pinned().size(), 2u);
    select(0, 1, column("capacity"));
    page().pinSelected(); // both pinned: unpinned
    EXPECT_FALSE(panel.isVisible());
}

TEST_F(EquipmentWindow, WhereUsedListsEveryLineNamingTheGun) {
    page().showKind(QStringLiteral("Gun"));
    select(0, 0, 0);
    page().setNameAsker([](const QString& proposed) {
        EXPECT_EQ(proposed, QStringLiteral("li_gun01_mark01"));
        return std::optional(proposed);
    });
    int rows = 0;
    QString definition;
    hand.meanwhile([&] {
        auto* dialog = QApplication::activeModalWidget();
        auto* uses = dialog->findChild<QTableWidget*>(QStringLiteral("tvWhereUsed"));
        rows = uses->rowCount();
        definition = uses->item(0, 0)->text() + ":" + uses->item(0, 3)->text();
        qobject_cast<QDialog*>(dialog)->reject();
    });
    click(control<QPushButton>(*window, "btEquipmentWhereUsed"));
    ASSERT_TRUE(waitUntil([&] { return hand.allAnswered() && rows > 0; }));
    // The definition and the eight packages that carry it.
    EXPECT_EQ(rows, 9);
    EXPECT_EQ(definition,
              QStringLiteral("DATA/EQUIPMENT/misc_equip.ini:nickname (its definition)"));
}

// The Ship page's engine label asks the same of the ship's engine.
TEST_F(EquipmentWindow, TheShipPagesEngineAsksWhereItIsUsed) {
    clickShip(*window, 0);
    ASSERT_TRUE(waitUntil([&] { return !fieldText(*window, "edShipNickName").isEmpty(); }));
    QString title;
    hand.meanwhile([&] {
        auto* dialog = QApplication::activeModalWidget();
        title = dialog->windowTitle();
        qobject_cast<QDialog*>(dialog)->reject();
    });
    auto& label = control<QLabel>(*window, "labEngine");
    ASSERT_FALSE(label.actions().isEmpty());
    label.actions().front()->trigger();
    ASSERT_TRUE(waitUntil([&] { return hand.allAnswered() && !title.isEmpty(); }));
    EXPECT_TRUE(title.startsWith(QStringLiteral("Where "))) << title.toStdString();
    EXPECT_TRUE(title.endsWith(QStringLiteral(" is used"))) << title.toStdString();
    EXPECT_FALSE(title.contains(QStringLiteral("Where  is"))) << "an engine nickname";
}

TEST_F(EquipmentWindow, ARenameIsOneUndoableChangeOfEveryLineNamingTheGun) {
    page().showKind(QStringLiteral("Gun"));
    select(0, 0, 0);
    page().setRenameAsker([](const QString& from) {
        EXPECT_EQ(from, QStringLiteral("li_gun01_mark01"));
        return std::optional(QStringLiteral("li_gun01_mk1"));
    });
    const auto goodsFile = [&] {
        return readBytes(resolveCaseInsensitive(fieldText(*window, "edPfad").toStdString() +
                                                "DATA/EQUIPMENT/goods.ini"));
    };
    const std::string goods = goodsFile();
    click(control<QPushButton>(*window, "btEquipmentRename"));
    ASSERT_EQ(page().renames().pending().size(), 1u);
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(page().renames().pending().empty());
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(page().renames().pending().size(), 1u);

    hand.click("btReviewSave");
    click(control<QPushButton>(*window, "btEquipmentReview"));
    ASSERT_TRUE(waitUntil([&] { return page().renames().pending().empty(); }));
    EXPECT_NE(miscEquip().find("nickname = li_gun01_mk1\r\n"), std::string::npos);
    EXPECT_NE(miscEquip().find("nickname = li_gun01_mark01_ammo"), std::string::npos);
    const auto before = splitLines(goods);
    const auto after = splitLines(goodsFile());
    ASSERT_EQ(before.size(), after.size());
    int changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            ++changed;
            EXPECT_EQ(after[i], "addon = li_gun01_mk1, HpWeapon01, 1");
        }
    }
    EXPECT_EQ(changed, 8); // every package that carries it
}

} // namespace
} // namespace skarvel::test
