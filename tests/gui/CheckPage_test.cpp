// The CHECK page as a mod's author uses it: the problems after the open, filtered, copied and
// followed to their ship, and the word after a save that broke something.

#include "app/MainWindow.h"
#include "check/CheckCommand.h"
#include "gui/UserHand.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"
#include "support/ScopedVariable.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <sstream>

namespace skarvel {
namespace {

using namespace test;

class CheckPageTest : public ::testing::Test {
protected:
    explicit CheckPageTest(const char* fixture = "check-broken") {
        game = env.installGame();
        copyFixture(fixture, game);
        // A base the mod's universe does not define is one pick away.
        writeBytes(env.program / "resource.ini",
                   "[IdByBase]\nPlanet Manhattan = Li01_01_Base\nLost Station = Li01_55_Base\n"
                   "[BaseById]\nLi01_01_Base = Planet Manhattan\nLi01_55_Base = Lost Station\n");
        env.silenceStart();
        journal = std::make_unique<TJournal>(env.program.string(), "DebugOut");
        window = std::make_unique<TformSkarvel>(*journal, env.program.string());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        click(control<QPushButton>(*window, "btRead"));
        click(control<QToolButton>(*window, "btRelload"));
    }

    QTableView& table() { return control<QTableView>(*window, "tvProblems"); }
    // "file:line: severity: [rule] message" of each row shown.
    std::string rows() {
        std::string text;
        const QAbstractItemModel& model = *table().model();
        for (int row = 0; row < model.rowCount(); ++row) {
            auto cell = [&](int column) {
                return model.index(row, column).data().toString().toStdString();
            };
            text +=
                cell(2) + ":" + cell(3) + ": " + cell(0) + ": [" + cell(1) + "] " + cell(5) + "\n";
        }
        return text;
    }

    ShellEnvironment env;
    ModalHand hand;
    std::string game;
    std::unique_ptr<TJournal> journal;
    std::unique_ptr<TformSkarvel> window;
};

TEST_F(CheckPageTest, ShowsWhatTheCommandLineShowsFiltersCopiesAndOpensTheShip) {
    clickMenu(*window, "CHECK (20)");
    EXPECT_EQ(control<QTabWidget>(*window, "pcMain").currentWidget()->objectName(), "tsCheck");
    std::ostringstream out;
    std::ostringstream err;
    const std::string_view folder = game;
    EXPECT_EQ(check::runCheckCommand(std::span(&folder, 1), out, err), 1);
    EXPECT_EQ(rows() + "20 errors, 0 warnings\n", out.str());
    EXPECT_EQ(control<QLabel>(*window, "labCheckSummary").text(), "20 errors, 0 warnings");

    auto& severity = control<QComboBox>(*window, "cbCheckSeverity");
    auto& rule = control<QComboBox>(*window, "cbCheckRule");
    rule.setCurrentIndex(rule.findText("addon-hardpoint"));
    EXPECT_EQ(rows(), "DATA/Equipment/goods.ini:23: error: [addon-hardpoint] addon 'li_gun01' "
                      "mounts on hp_gun_special_1, and no hp_type line of 'li_elite' gives "
                      "'HpWeapon09' that type\n");
    severity.setCurrentIndex(severity.findText("warnings"));
    EXPECT_EQ(rows(), "");
    severity.setCurrentIndex(0);
    rule.setCurrentIndex(rule.findText("number"));
    ASSERT_EQ(table().model()->rowCount(), 1);

    const QModelIndex problem = table().model()->index(0, 4);
    EXPECT_EQ(problem.data().toString(), "li_elite");
    table().setCurrentIndex(problem);
    QTest::keyClick(&table(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "DATA/SHIPS/shiparch.ini:11");

    // The editor of $VISUAL opens the file at the line: here a script that says what it got.
    const std::string editor = env.program.string() + "/vim";
    writeBytes(editor, "#!/bin/sh\necho \"$@\" > \"$0.args\"\n");
    std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
    const ScopedVariable visual("VISUAL", editor);
    const auto actions = table().actions();
    const auto open = std::ranges::find_if(
        actions, [](const QAction* action) { return action->text() == "Open in text editor"; });
    ASSERT_NE(open, actions.end());
    (*open)->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(editor + ".args"); }));
    QTest::qWait(100);
    EXPECT_EQ(readBytes(editor + ".args"), "+11 " + game + "DATA/SHIPS/shiparch.ini\n");

    const QPoint cell = table().visualRect(problem).center();
    QTest::mouseClick(table().viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(table().viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(control<QTabWidget>(*window, "pcMain").currentWidget()->objectName(), "tsShip");
    EXPECT_EQ(control<QLineEdit>(*window, "edShipNickName").text(), "li_elite");
    EXPECT_TRUE(hand.unexpected.empty()) << hand.unexpected.front().toStdString();
}

class CleanModPageTest : public CheckPageTest {
protected:
    CleanModPageTest() : CheckPageTest("check-clean") {}
};

TEST_F(CleanModPageTest, ASaveThatAddsAnErrorSaysSoAndStands) {
    clickMenu(*window, "CHECK (0)");
    EXPECT_EQ(table().model()->rowCount(), 0);
    EXPECT_EQ(control<QLabel>(*window, "labCheckSummary").text(), "No problems");
    auto& bases = control<QComboBox>(*window, "cbStartingBase");
    bases.setCurrentIndex(bases.findText("Lost Station"));
    hand.press(QMessageBox::Yes).press(QMessageBox::Ok);
    click(control<QToolButton>(*window, "btSave"));

    EXPECT_NE(readBytes(game + "DATA/characters/newcharacter.ini").find("base = Li01_55_Base"),
              std::string::npos);
    ASSERT_EQ(hand.shown.size(), 2u);
    EXPECT_EQ(hand.shown[1].text.toStdString(),
              "The save is done, and the check finds 1 new error:\n"
              "DATA/characters/newcharacter.ini:3: error: [character] new characters start at "
              "base 'Li01_55_Base', which does not exist");
    clickMenu(*window, "CHECK (1)");
    EXPECT_TRUE(hand.allAnswered());
}

// A file no page edits, changed by another program: the list follows without a click.
TEST_F(CleanModPageTest, AnOutsideChangeToAnyCheckedFileChecksAgain) {
    const std::string loadouts = game + "DATA/SHIPS/loadouts.ini";
    writeBytes(loadouts, readBytes(loadouts) + "equip = li_gun09, HpWeapon01\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return table().model()->rowCount() == 1; }, 5000));
    EXPECT_EQ(rows(), "DATA/SHIPS/loadouts.ini:18: error: [loadout-item] equip 'li_gun09' is no "
                      "equipment of any file\n");
    EXPECT_TRUE(hand.unexpected.empty());
}

} // namespace
} // namespace skarvel
