// The window as people expect it: undo over the edits of several fields, the marks of what
// changed, and every shortcut reaching its command.
#include "gui/DemoWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QTreeWidget>

namespace skarvel::test {
namespace {

class Shortcuts : public DemoWindow {
protected:
    Shortcuts() {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void press(const QKeySequence& keys) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keySequence(target, keys);
        QTest::qWait(20); // the history takes its step after the handlers
    }
    void type(const char* field, const QString& text) {
        retype(*window, field, text);
        QTest::qWait(20);
    }
    bool marked(const char* field) {
        return !control<QLineEdit>(*window, field).styleSheet().isEmpty();
    }
    bool shipPageDotted() {
        auto& tree = control<QTreeWidget>(*window, "tvMenu");
        return !tree.findItems(QStringLiteral("SHIP"), Qt::MatchExactly).front()->icon(0).isNull();
    }
};

TEST_F(Shortcuts, ThreeEditsUndoneLeaveNothingToSaveAndNoMarks) {
    clickShip(*window, 0);
    QTest::qWait(20); // the history starts after the load
    const char* fields[] = {"edPanzerung", "edHoldsize", "edEngineMaxForce"};
    std::vector<QString> loaded;
    for (const char* field : fields) {
        loaded.push_back(fieldText(*window, field));
    }
    const QString speed = fieldText(*window, "edEngineSpeed");
    type("edPanzerung", QStringLiteral("3456"));
    type("edHoldsize", QStringLiteral("77"));
    type("edEngineMaxForce", QStringLiteral("123456"));
    EXPECT_NE(fieldText(*window, "edEngineSpeed"), speed);
    EXPECT_TRUE(marked("edHoldsize"));
    EXPECT_TRUE(shipPageDotted());

    for (int step = 0; step < 3; ++step) {
        press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    }
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        EXPECT_EQ(fieldText(*window, fields[i]), loaded[i]) << fields[i];
        EXPECT_FALSE(marked(fields[i])) << fields[i];
    }
    EXPECT_EQ(fieldText(*window, "edEngineSpeed"), speed);
    EXPECT_FALSE(shipPageDotted());

    press(QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(fieldText(*window, "edPanzerung"), QStringLiteral("3456"));
    press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(fieldText(*window, "edHoldsize"), QStringLiteral("77"));
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));

    hand.press(QMessageBox::Ok);
    press(QKeySequence(Qt::CTRL | Qt::Key_S));
    ASSERT_FALSE(hand.shown.empty());
    EXPECT_EQ(hand.shown.back().text, QStringLiteral("Nothing to save: no value has changed."));
    EXPECT_TRUE(hand.unexpected.empty());
}

TEST_F(Shortcuts, EachReachesItsCommand) {
    clickShip(*window, 0);
    press(QKeySequence(Qt::CTRL | Qt::Key_F));
    EXPECT_EQ(QApplication::focusWidget(), &control<QLineEdit>(*window, "edShipFilter"));

    press(QKeySequence(Qt::Key_F1));
    const QWidget* help = window->findChild<QWidget*>(QStringLiteral("dlgHelp"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    const_cast<QWidget*>(help)->close();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));

    for (const QKeySequence& reload :
         {QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence(Qt::Key_F5)}) {
        const std::size_t before = env.journal().size();
        press(reload);
        const auto lines = env.journalSince(before);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("Daten sollen ge") != std::string::npos;
        })) << reload.toString().toStdString();
    }

    hand.press(QMessageBox::No);
    press(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ASSERT_FALSE(hand.shown.empty());
    EXPECT_EQ(hand.shown.back().text, kExitQuestion);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(hand.unexpected.empty());

    for (const char* button : {"btBeenden", "btRelload", "btSave", "btCloseSet", "btHelp"}) {
        EXPECT_TRUE(control<QToolButton>(*window, button).toolTip().contains(QLatin1Char('(')))
            << button;
    }
}

} // namespace
} // namespace skarvel::test
