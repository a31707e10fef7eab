// The Fleet page in the real window: sorting, filtering, a change of many ships, its review
// and save, and a ship opened from its row.
#include "app/FleetChangeDialog.h"
#include "app/FleetModel.h"
#include "app/FleetPage.h"
#include "gamedata/TextLines.h"
#include "gui/DemoWindow.h"
#include "platform/CaseInsensitivePath.h"
#include "support/TestFiles.h"
#include "tables/FleetColumns.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QScrollBar>
#include <QTableView>
#include <QTreeWidget>
#include <filesystem>
#include <string>

namespace skarvel::test {
namespace {

class FleetWindow : public DemoWindow {
protected:
    FleetWindow() {
        clickMenu(*window, QStringLiteral("FLEET"));
        EXPECT_TRUE(waitUntil([&] { return table().model()->rowCount() == 8; }));
    }

    FleetPage& page() {
        return *dynamic_cast<FleetPage*>(window->findChild<QObject*>(QStringLiteral("FleetPage")));
    }
    QTableView& table() { return control<QTableView>(*window, "tvFleet"); }
    QString shown(int row, int column) {
        return table().model()->index(row, column).data().toString();
    }
    void clickHeader(int column) {
        QHeaderView& header = *table().horizontalHeader();
        table().scrollTo(table().model()->index(0, column));
        QTest::mouseClick(
            header.viewport(), Qt::LeftButton, {},
            QPoint(header.sectionViewportPosition(column) + header.sectionSize(column) / 2,
                   header.height() / 2));
    }
    std::string shiparch() {
        return readBytes(resolveCaseInsensitive(fieldText(*window, "edPfad").toStdString() +
                                                "DATA/SHIPS/shiparch.ini"));
    }

    const int hold = static_cast<int>(fleetColumnOfKey("hold_size"));
    const int name = static_cast<int>(fleetColumnOfKey("name"));
};

TEST_F(FleetWindow, LargestHoldIsOneClickAndEveryFighterGetsSixty) {
    clickHeader(hold);
    EXPECT_EQ(shown(0, hold), QStringLiteral("125"));
    EXPECT_EQ(shown(7, hold), QStringLiteral("15"));

    QTest::keyClicks(&control<QLineEdit>(*window, "edFleetFilter"), QStringLiteral("fighter"));
    const int fighters = table().model()->rowCount();
    ASSERT_EQ(fighters, 6);
    table().selectionModel()->select(
        QItemSelection(table().model()->index(0, hold), table().model()->index(fighters - 1, hold)),
        QItemSelectionModel::Select);
    page().setChangeAsker([](const QString&, int ships, const QString&) {
        EXPECT_EQ(ships, 6);
        return FleetPage::ChangeAnswer{{FleetEdits::Operation::Set, QStringLiteral("60")}};
    });
    const std::string before = shiparch();
    click(control<QPushButton>(*window, "btFleetChange"));
    for (int row = 0; row < fighters; ++row) {
        EXPECT_EQ(shown(row, hold), QStringLiteral("60"));
    }
    EXPECT_EQ(shiparch(), before) << "nothing is written before the review";

    hand.click("btReviewSave");
    click(control<QPushButton>(*window, "btFleetReview"));
    ASSERT_TRUE(waitUntil([&] { return page().fleet().edits().empty(); }));
    const auto lines = splitLines(before);
    const auto after = splitLines(shiparch());
    ASSERT_EQ(lines.size(), after.size());
    int changed = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != after[i]) {
            ++changed;
            EXPECT_TRUE(after[i].starts_with("hold_size = 60")) << after[i];
        }
    }
    EXPECT_EQ(changed, 6);
}

TEST_F(FleetWindow, ANameOpensItsShipOnTheShipPage) {
    const QModelIndex cell = table().model()->index(2, name);
    table().scrollTo(cell);
    QTest::mouseClick(table().viewport(), Qt::LeftButton, {}, table().visualRect(cell).center());
    ASSERT_TRUE(waitUntil([&] {
        return control<QTabWidget>(*window, "pcMain").currentWidget()->objectName() ==
               QStringLiteral("tsShip");
    }));
    EXPECT_EQ(fieldText(*window, "edShipNickName"), QStringLiteral("li_freighter"));
}

TEST_F(FleetWindow, TheNameColumnStaysInViewWhileTheTableScrollsSideways) {
    auto* frozen = table().findChild<QTableView*>();
    ASSERT_NE(frozen, nullptr);
    QScrollBar& across = *table().horizontalScrollBar();
    ASSERT_GT(across.maximum(), 0) << "the designed width shows only some of the columns";
    across.setValue(across.maximum());
    QApplication::processEvents();
    EXPECT_LT(table().columnViewportPosition(name), 0) << "the table itself scrolled";
    ASSERT_TRUE(frozen->isVisible());
    EXPECT_EQ(frozen->x(), table().verticalHeader()->width() + table().frameWidth());
    EXPECT_EQ(frozen->width(), table().columnWidth(name));
    for (int row = 0; row < 8; ++row) {
        const QModelIndex cell = frozen->model()->index(row, name);
        EXPECT_EQ(frozen->visualRect(cell).top(),
                  table().visualRect(table().model()->index(row, hold)).top());
        EXPECT_TRUE(frozen->viewport()->rect().contains(frozen->visualRect(cell))) << row;
    }
    // A click on a name there opens the ship as in the table.
    const QModelIndex third = frozen->model()->index(2, name);
    QTest::mouseClick(frozen->viewport(), Qt::LeftButton, {}, frozen->visualRect(third).center());
    ASSERT_TRUE(waitUntil([&] {
        return control<QTabWidget>(*window, "pcMain").currentWidget()->objectName() ==
               QStringLiteral("tsShip");
    }));
    EXPECT_EQ(fieldText(*window, "edShipNickName"), QStringLiteral("li_freighter"));
}

// An import that changes a row the filter hides clears the filter and says so.
TEST_F(FleetWindow, AnImportedRowHiddenByTheFilterIsShown) {
    const std::pair<const char*, bool> imports[] = {{"li_fighter", false}, {"li_freighter", true}};
    for (const auto& [nickname, cleared] : imports) {
        SCOPED_TRACE(nickname);
        click(control<QPushButton>(*window, "btFleetDiscard"));
        QLineEdit& filter = control<QLineEdit>(*window, "edFleetFilter");
        filter.setText(QStringLiteral("fighter"));
        const std::filesystem::path csv = env.program / "fleet.csv";
        writeBytes(csv, std::string("nickname,hold_size\r\n") + nickname + ",99\r\n");
        hand.choose(csv.string()).press(QMessageBox::Ok);
        click(control<QPushButton>(*window, "btFleetImport"));
        ASSERT_TRUE(waitUntil([&] { return hand.allAnswered(); }));
        EXPECT_EQ(filter.text().isEmpty(), cleared);
        EXPECT_EQ(hand.shown.back().text.contains(
                      QStringLiteral("The filter was cleared to show the imported rows.")),
                  cleared)
            << hand.shown.back().text.toStdString();
        EXPECT_EQ(table().model()->rowCount(), cleared ? 8 : 6);
    }
}

// The export asks for the rows and then for the encoding, plain UTF-8 first; a file the
// import refuses is told in an error message.
TEST_F(FleetWindow, ExportOffersAByteOrderMarkAndARefusedImportIsTold) {
    const auto pressButton = [this](const char* caption) {
        hand.meanwhile([caption] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == QString::fromUtf8(caption)) {
                    QTimer::singleShot(0, button, &QAbstractButton::click);
                    return;
                }
            }
            ADD_FAILURE() << caption;
        });
    };
    const std::filesystem::path csv = env.program / "all.csv";
    pressButton("All");
    pressButton("UTF-8 with BOM");
    hand.choose(csv.string());
    click(control<QPushButton>(*window, "btFleetExport"));
    ASSERT_TRUE(waitUntil([&] { return hand.allAnswered() && std::filesystem::exists(csv); }));
    const std::string text = readBytes(csv);
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBFnickname,name,")) << text.substr(0, 40);
    EXPECT_EQ(splitLines(text).size(), 9u);

    const std::filesystem::path large = env.program / "large.csv";
    writeBytes(large, "nickname,hold_size\r\n");
    std::filesystem::resize_file(large, 64 * 1024 * 1024 + 1);
    hand.choose(large.string()).press(QMessageBox::Ok);
    click(control<QPushButton>(*window, "btFleetImport"));
    ASSERT_TRUE(waitUntil([&] { return hand.allAnswered(); }));
    EXPECT_EQ(hand.shown.back().icon, QMessageBox::Critical);
    EXPECT_TRUE(hand.shown.back().text.contains(
        QStringLiteral("is 64.0 MB (67108865 bytes); a CSV file above 64 MB is not imported.")))
        << hand.shown.back().text.toStdString();
    EXPECT_TRUE(hand.unexpected.empty());
}

TEST(FleetChangeDialogTest, TheCursorIsInTheValueField) {
    FleetChangeDialog dialog(QStringLiteral("Cargo hold (hold_size)"), 6, {});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), &control<QLineEdit>(dialog, "edFleetOperand"));
}

// A ship's field and a Fleet change are one history and one save: Ctrl+Z undoes them in
// reverse order and names each, Ctrl+Y makes them again, one Ctrl+S writes both after one
// review.
TEST_F(FleetWindow, EditsOfTwoPagesAreOneHistoryAndOneSave) {
    const auto undoText = [&] {
        for (QAction* action : window->findChildren<QAction*>()) {
            if (action->text().startsWith(QStringLiteral("&Undo")) &&
                !action->text().contains(QStringLiteral("last save")) &&
                action->text() != QStringLiteral("&Undo")) {
                return action->text();
            }
        }
        return QString();
    };
    const auto keys = [&](Qt::Key key) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keySequence(target, QKeySequence(Qt::CTRL | key));
        QTest::qWait(20); // the history takes its step after the handlers
    };
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    clickMenu(*window, QStringLiteral("SHIP"));
    clickShip(*window, 0);
    QTest::qWait(20); // the history starts after the load
    const QString hitPoints = fieldText(*window, "edPanzerung");
    retype(*window, "edPanzerung", QStringLiteral("4321"));
    QTest::qWait(20);
    ASSERT_TRUE(waitUntil([&] { return undoText().contains(QStringLiteral("Hit points of")); }))
        << undoText().toStdString() << " / " << fieldText(*window, "edPanzerung").toStdString();

    clickMenu(*window, QStringLiteral("FLEET"));
    table().selectionModel()->select(
        QItemSelection(table().model()->index(0, hold), table().model()->index(1, hold)),
        QItemSelectionModel::Select);
    page().setChangeAsker([](const QString&, int, const QString&) {
        return FleetPage::ChangeAnswer{{FleetEdits::Operation::Set, QStringLiteral("77")}};
    });
    click(control<QPushButton>(*window, "btFleetChange"));
    EXPECT_EQ(undoText(), QStringLiteral("&Undo hold_size of 2 ships"));

    keys(Qt::Key_Z);
    EXPECT_TRUE(page().fleet().edits().empty());
    keys(Qt::Key_Z);
    EXPECT_EQ(fieldText(*window, "edPanzerung"), hitPoints);
    keys(Qt::Key_Y);
    keys(Qt::Key_Y);
    EXPECT_EQ(fieldText(*window, "edPanzerung"), QStringLiteral("4321"));
    EXPECT_FALSE(page().fleet().edits().empty());

    const std::string before = shiparch();
    hand.press(QMessageBox::Yes);
    hand.click("btReviewSave");
    keys(Qt::Key_S);
    ASSERT_TRUE(waitUntil([&] { return shiparch() != before; }));
    const std::string after = shiparch();
    EXPECT_NE(after.find("hit_pts = 4321"), std::string::npos);
    EXPECT_NE(after.find("hold_size = 77"), std::string::npos);
    EXPECT_TRUE(page().fleet().edits().empty());
}

// Another ship shown ends the steps of the fields, not those of the pages still pending; the
// page's tree entry carries the dot while its changes are pending.
TEST_F(FleetWindow, AFleetChangeStaysUndoableAfterAShipIsShown) {
    const auto fleetMarked = [&] {
        const auto found =
            control<QTreeWidget>(*window, "tvMenu")
                .findItems(QStringLiteral("FLEET"), Qt::MatchExactly | Qt::MatchRecursive);
        return !found.isEmpty() && !found.front()->icon(0).isNull();
    };
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    table().selectionModel()->select(table().model()->index(0, hold), QItemSelectionModel::Select);
    page().setChangeAsker([](const QString&, int, const QString&) {
        return FleetPage::ChangeAnswer{{FleetEdits::Operation::Set, QStringLiteral("77")}};
    });
    click(control<QPushButton>(*window, "btFleetChange"));
    ASSERT_FALSE(page().fleet().edits().empty());
    EXPECT_TRUE(waitUntil(fleetMarked));
    clickMenu(*window, QStringLiteral("SHIP"));
    clickShip(*window, 1);
    QTest::qWait(20); // the history starts again after the load
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
    QTest::keySequence(target, QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_TRUE(waitUntil([&] { return page().fleet().edits().empty(); }));
    EXPECT_TRUE(waitUntil([&] { return !fleetMarked(); }));
}

} // namespace
} // namespace skarvel::test
