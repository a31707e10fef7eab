#pragma once

// The user's hand on the main window's controls: mouse clicks on buttons, the menu tree, the
// ship list and the spinners, keys typed into fields and items picked from drop-down lists,
// all sent as the window system would send them.

#include "app/UpDown.h"
#include "gui/WindowTestSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>

namespace skarvel::test {

inline void click(QWidget& widget) {
    QTest::mouseClick(&widget, Qt::LeftButton, {}, widget.rect().center());
}

inline void clickMenu(QWidget& window, const QString& caption) {
    auto& tree = control<QTreeWidget>(window, "tvMenu");
    const auto found = tree.findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1) << caption.toStdString();
    tree.scrollToItem(found.front());
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                      tree.visualItemRect(found.front()).center());
}

inline void clickShip(QWidget& window, int row) {
    auto& ships = control<QListWidget>(window, "lbShips");
    ASSERT_LT(row, ships.count());
    ships.scrollToItem(ships.item(row));
    QTest::mouseClick(ships.viewport(), Qt::LeftButton, {},
                      ships.visualItemRect(ships.item(row)).center());
}

// Clicks behind the field's text, deletes it key by key and types the new one.
inline void retype(QWidget& window, const char* name, const QString& text) {
    auto& field = control<QLineEdit>(window, name);
    QTest::mouseClick(&field, Qt::LeftButton, {}, QPoint(field.width() - 4, field.height() / 2));
    for (qsizetype i = field.text().size(); i > 0; --i) {
        QTest::keyClick(&field, Qt::Key_Backspace);
    }
    QTest::keyClicks(&field, text);
}

inline void clickSpinnerUp(QWidget& window, const char* name) {
    auto& spinner = control<UpDown>(window, name);
    QTest::mouseClick(&spinner, Qt::LeftButton, {}, QPoint(spinner.width() / 2, 2));
}

// Opens the drop-down list with the mouse, walks to the item with the arrow keys and takes
// it with Return. (The list's own keys are screened by the key handlers; the open popup's
// are not.)
inline void pick(QWidget& window, const char* name, const QString& item) {
    auto& list = control<QComboBox>(window, name);
    const int target = list.findText(item);
    ASSERT_GE(target, 0) << item.toStdString();
    click(list);
    QAbstractItemView& view = *list.view();
    ASSERT_TRUE(waitUntil([&] { return view.isVisible(); }));
    for (int row = view.currentIndex().row(); row < target; ++row) {
        QTest::keyClick(&view, Qt::Key_Down);
    }
    for (int row = view.currentIndex().row(); row > target; --row) {
        QTest::keyClick(&view, Qt::Key_Up);
    }
    QTest::keyClick(&view, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return !view.isVisible(); }));
}

inline QString fieldText(QWidget& window, const char* name) {
    return control<QLineEdit>(window, name).text();
}

} // namespace skarvel::test
