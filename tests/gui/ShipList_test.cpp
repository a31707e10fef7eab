// The ship list and the fields show the same ship, whatever the user does with the list, and
// the filter above it hides ships without moving them.

#include "gui/DemoWindow.h"
#include "support/PeBuilder.h"

#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <memory>

namespace skarvel {
namespace {

using namespace test;

// The nickname of each [Ship] of the demo game, in file order.
const std::vector<QString> kNicknames{"li_fighter", "li_elite", "li_freighter", "ge_fighter",
                                      "ku_fighter", "rh_elite", "bw_fighter",   "ge_freighter"};

class ShipListWindow : public DemoWindow {
protected:
    QListWidget& ships() { return control<QListWidget>(*window, "lbShips"); }
    QLineEdit& filter() { return control<QLineEdit>(*window, "edShipFilter"); }
    QString shownNickname() { return fieldText(*window, "edShipNickName"); }
    std::size_t loads() const {
        const auto lines = env.journal();
        return static_cast<std::size_t>(
            std::count(lines.begin(), lines.end(), "[Begin  ] LB_SHIPS_CLICKED"));
    }
    QPoint centreOf(int row) { return ships().visualItemRect(ships().item(row)).center(); }
    std::vector<int> visibleRows() {
        std::vector<int> rows;
        for (int row = 0; row < ships().count(); ++row) {
            if (!ships().item(row)->isHidden()) {
                rows.push_back(row);
            }
        }
        return rows;
    }
    // One load, of the ship the list shows.
    void expectOneLoadOfTheSelectedShip(std::size_t loadsBefore, const std::string& gesture) {
        ASSERT_TRUE(waitUntil([&] { return loads() > loadsBefore; }, 2000)) << gesture;
        QTest::qWait(20); // a second load would come now
        EXPECT_EQ(loads(), loadsBefore + 1) << gesture;
        const int row = ships().currentRow();
        ASSERT_GE(row, 0) << gesture;
        EXPECT_EQ(shownNickname(), kNicknames[static_cast<std::size_t>(row)]) << gesture;
    }
};

TEST_F(ShipListWindow, EveryChangeOfTheSelectionByTheUserLoadsTheShipShown) {
    ASSERT_EQ(ships().count(), 8);
    EXPECT_EQ(ships().currentRow(), 0); // selected by the program: nothing loaded
    EXPECT_EQ(shownNickname(), "");
    EXPECT_EQ(loads(), 0u);

    auto& view = *ships().viewport();
    const std::vector<std::pair<std::string, std::function<void()>>> gestures{
        {"click", [&] { clickShip(*window, 2); }},
        {"Down", [&] { QTest::keyClick(&ships(), Qt::Key_Down); }},
        {"End", [&] { QTest::keyClick(&ships(), Qt::Key_End); }},
        {"Home", [&] { QTest::keyClick(&ships(), Qt::Key_Home); }},
        {"Page Down", [&] { QTest::keyClick(&ships(), Qt::Key_PageDown); }},
        {"Up", [&] { QTest::keyClick(&ships(), Qt::Key_Up); }},
        {"drag",
         [&] {
             QTest::mousePress(&view, Qt::LeftButton, {}, centreOf(1));
             QTest::mouseMove(&view, centreOf(2));
             QTest::mouseMove(&view, centreOf(4));
             QTest::mouseRelease(&view, Qt::LeftButton, {}, centreOf(4));
         }},
        {"type-ahead", [&] { QTest::keyClicks(&ships(), ships().item(5)->text()); }},
        {"click on the ship shown", [&] { clickShip(*window, 5); }},
    };
    int previousRow = ships().currentRow();
    for (const auto& [gesture, act] : gestures) {
        const std::size_t before = loads();
        act();
        expectOneLoadOfTheSelectedShip(before, gesture);
        if (gesture == "drag") {
            EXPECT_EQ(ships().currentRow(), 4);
        } else if (gesture == "type-ahead") {
            EXPECT_EQ(ships().currentRow(), 5);
        } else if (gesture != "click on the ship shown") {
            EXPECT_NE(ships().currentRow(), previousRow) << gesture;
        }
        previousRow = ships().currentRow();
    }

    // With unsaved edits the question comes first; whatever the answer, the list ends on the
    // ship whose values are shown.
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        retype(*window, "edPanzerung", "1234");
        hand.press(answer);
        const std::size_t before = loads();
        QTest::keyClick(&ships(), Qt::Key_Down);
        expectOneLoadOfTheSelectedShip(before, "Down after an edit");
        EXPECT_TRUE(hand.allAnswered());
    }
    EXPECT_TRUE(hand.unexpected.empty());
}

TEST_F(ShipListWindow, FilterHidesShipsInPlaceAndEscapeShowsThemAgain) {
    EXPECT_EQ(filter().placeholderText(), "Filter ships");
    EXPECT_TRUE(filter().property("hintWired").toBool());
    EXPECT_TRUE(filter().property("hint").toString().contains("Escape"));
    const std::vector<std::pair<QString, std::vector<int>>> cases{
        {"elite", {1, 5}},         // nicknames
        {"DR", {4, 7}},            // names: Drake, Dromedary
        {"Fighter", {0, 3, 4, 6}}, // nicknames, letter case ignored
        {"rhino", {2}},            // a name
        {"nothing like it", {}},
        {"", {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (const auto& [text, rows] : cases) {
        filter().clear();
        QTest::keyClicks(&filter(), text);
        EXPECT_EQ(visibleRows(), rows) << text.toStdString();
    }
    EXPECT_EQ(loads(), 0u); // filtering loads nothing

    // A ship picked from the filtered list is the one at its own position.
    QTest::keyClicks(&filter(), "elite");
    clickShip(*window, 5);
    EXPECT_EQ(shownNickname(), "rh_elite");
    ships().setFocus();
    QTest::keyClick(&ships(), Qt::Key_Up); // over the hidden ships to the next shown one
    EXPECT_EQ(ships().currentRow(), 1);
    EXPECT_EQ(shownNickname(), "li_elite");
    QTest::keyClicks(&ships(), "Rhino"); // type-ahead passes over hidden ships
    EXPECT_EQ(ships().currentRow(), 1);

    // The filter holds through a reload, which refills the list.
    click(control<QToolButton>(*window, "btRelload"));
    EXPECT_TRUE(waitUntil([&] { return visibleRows() == std::vector<int>{1, 5}; }));

    QTest::keyClick(&filter(), Qt::Key_Escape);
    EXPECT_EQ(filter().text(), "");
    EXPECT_EQ(visibleRows().size(), 8u);
    EXPECT_TRUE(hand.unexpected.empty());
}

// A name from the game's DLLs with characters outside Latin-1 shows them, in the list, in
// the ship's name and for the filter.
TEST_F(ShipListWindow, NamesFromTheGamesDllsShowEveryCharacter) {
    // ids_name 237034 of the first ship: string 40426 of the third DLL listed.
    const auto exe = env.prefix / "drive_c/Games/Freelancer/EXE";
    writeBytes(exe / "freelancer.ini",
               "[Resources]\nDLL = names.dll\nDLL = names.dll\nDLL = names.dll\n");
    writeBytes(exe / "names.dll", buildPe({{40426, u"\u2039\u2039Sabre\u203a\u203a"}}).bytes);
    click(control<QToolButton>(*window, "btRelload"));
    const QString sabre = QStringLiteral("\u2039\u2039Sabre\u203a\u203a");
    ASSERT_TRUE(waitUntil([&] { return ships().item(0)->text() == sabre; }))
        << ships().item(0)->text().toStdString();
    clickShip(*window, 0);
    EXPECT_EQ(fieldText(*window, "edShipRealName"), sabre);
    filter().setText(QStringLiteral("\u2039sAB")); // keys of QTest are Latin-1 only
    EXPECT_EQ(visibleRows(), std::vector<int>{0});
    EXPECT_TRUE(hand.unexpected.empty());
}

} // namespace
} // namespace skarvel
