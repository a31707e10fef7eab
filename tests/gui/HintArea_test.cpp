#include "app/HintArea.h"
#include "gui/GuiTestEnvironment.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace skarvel {
namespace {

QWidget& wired(QWidget& widget, const char* hint) {
    widget.setProperty("hintWired", true);
    widget.setProperty("hint", QString::fromLatin1(hint));
    return widget;
}

// A tool bar and its buttons are all wired; the bar's own hint is empty. A move over a button
// reaches the bar too, and must leave the button's hint in place.
TEST(HintAreaTest, AWiredParentDoesNotWipeItsChildsHint) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* bar = new QWidget(&window);
    auto* barLayout = new QHBoxLayout(bar);
    auto* button = new QPushButton(QStringLiteral("Exit"), bar);
    auto* label = new QLabel(QStringLiteral("Caption"), bar);
    barLayout->addWidget(button);
    barLayout->addWidget(label);
    barLayout->addStretch();
    auto* memo = new QPlainTextEdit(&window);
    layout->addWidget(bar);
    layout->addWidget(memo);
    wired(*bar, "");
    wired(*button, "Closes the Programm");
    wired(*label, "A label's hint");

    HintArea hints(*memo);
    hints.wireAll(window);
    window.resize(400, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QTest::mouseMove(button, button->rect().center());
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Closes the Programm"));
    QTest::mouseMove(label, label->rect().center());
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("A label's hint"));
    // The bar's own free space still shows the bar's (empty) hint.
    QTest::mouseMove(bar, QPoint(bar->width() - 5, bar->height() / 2));
    EXPECT_EQ(memo->toPlainText(), QString());
}

} // namespace
} // namespace skarvel
