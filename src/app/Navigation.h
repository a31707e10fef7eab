#pragma once

#include <QString>

class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace skarvel {

// The navigation between the pages: page i of the page control belongs to the tree item
// at position i in depth-first order, and only the tab of the selected item is visible.
class Navigation {
public:
    Navigation(QTreeWidget& tree, QTabWidget& pages);

    // tvMenuChange: shows the page of the selected item, alone.
    void tvMenuChange();
    // Brings the first page with exactly this caption to the front through the tree; does
    // nothing when there is no such page or it is already the active one.
    void ShowPage(const QString& caption);

    // Position of item in depth-first order, or -1.
    int absoluteIndex(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* itemAt(int absoluteIndex) const;

private:
    QTreeWidget& tree_;
    QTabWidget& pages_;
};

} // namespace skarvel
