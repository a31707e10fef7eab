#include "gui/EngineFieldsWindow.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>

namespace skarvel {
namespace {

class ConstantsPage : public test::EngineFieldsWindow {
protected:
    ConstantsPage() { window->ShowPage(QStringLiteral("Constants")); }

    QTableWidget& table(const char* name) { return test::control<QTableWidget>(*window, name); }
    // Types text into a value cell as the user does and ends the edit with key.
    void editCell(QTableWidget& t, int row, const QString& text, Qt::Key key) {
        t.setCurrentCell(row, 1);
        t.editItem(t.item(row, 1));
        auto* editor = t.viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, key);
        QCoreApplication::processEvents(); // Enter commits through a queued call
    }
};

TEST_F(ConstantsPage, CellsEditInPlaceAndShareTheGeneralConstants) {
    QTableWidget& physics = table("ValueListEditor2");
    const int velocity = 29;
    ASSERT_EQ(physics.item(velocity, 0)->text(), "ANOM_LIMITS_MAX_VELOCITY");
    EXPECT_TRUE(physics.property("hint").toString().contains("PhySysConsts"));
    EXPECT_TRUE(physics.toolTip().isEmpty());

    editCell(physics, velocity, QStringLiteral("400"), Qt::Key_Return);
    EXPECT_EQ(physics.item(velocity, 1)->text(), "400");
    EXPECT_EQ(text("edMaxSpeed"), "400");
    EXPECT_TRUE(marked());

    editCell(physics, velocity, QStringLiteral("500"), Qt::Key_Escape);
    EXPECT_EQ(physics.item(velocity, 1)->text(), "400");

    editCell(physics, velocity, QStringLiteral("4;0"), Qt::Key_Return);
    EXPECT_EQ(physics.item(velocity, 1)->text(), "400");
    const QString hint = test::control<QPlainTextEdit>(*window, "memoHint").toPlainText();
    EXPECT_TRUE(hint.startsWith("ANOM_LIMITS_MAX_VELOCITY")) << hint.toStdString();

    window->ShowPage(QStringLiteral("General"));
    field("edMaxSpeed").setCursorPosition(3);
    QTest::keyClick(&field("edMaxSpeed"), Qt::Key_7);
    EXPECT_EQ(physics.item(velocity, 1)->text(), "4007");
}

// The test game's constants.ini has no [ShieldEquipConsts]: the save could not keep a value
// typed there.
TEST_F(ConstantsPage, AValueOfASectionTheFileLacksCannotBeEdited) {
    test::copyFixture("game-ships/game", env.installGame());
    test::copyFixture("game-ships/program", env.program);
    test::control<QToolButton>(*window, "btRelload").click();
    QTableWidget& shield = table("ValueListEditor4");
    QTableWidgetItem& cell = *shield.item(0, 1);
    const QString reason = QStringLiteral(
        "constants.ini has no [ShieldEquipConsts] section, so this value cannot be saved.");
    EXPECT_EQ(cell.toolTip(), reason);
    EXPECT_TRUE(shield.property("hint").toString().startsWith(reason));

    shield.setFocus();
    shield.setCurrentCell(0, 1);
    QTest::mouseDClick(shield.viewport(), Qt::LeftButton, {},
                       shield.visualItemRect(&cell).center());
    QTest::keyClicks(&shield, QStringLiteral("5"));
    EXPECT_EQ(shield.viewport()->findChild<QLineEdit*>(), nullptr);
    EXPECT_TRUE(cell.text().isEmpty());
    EXPECT_FALSE(marked());

    // A table of a section the file holds stays editable.
    EXPECT_TRUE(table("ValueListEditor2").item(0, 1)->flags().testFlag(Qt::ItemIsEditable));
    EXPECT_TRUE(hand.unexpected.empty());
}

} // namespace
} // namespace skarvel
