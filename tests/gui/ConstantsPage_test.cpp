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

} // namespace
} // namespace skarvel
