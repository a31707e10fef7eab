#include "app/Navigation.h"

#include <QTabWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace skarvel {

Navigation::Navigation(QTreeWidget& tree, QTabWidget& pages) : tree_(tree), pages_(pages) {}

int Navigation::absoluteIndex(const QTreeWidgetItem* item) const {
    int index = 0;
    for (QTreeWidgetItemIterator it(&tree_); *it; ++it, ++index) {
        if (*it == item) {
            return index;
        }
    }
    return -1;
}

QTreeWidgetItem* Navigation::itemAt(int absoluteIndex) const {
    int index = 0;
    for (QTreeWidgetItemIterator it(&tree_); *it; ++it, ++index) {
        if (index == absoluteIndex) {
            return *it;
        }
    }
    return nullptr;
}

void Navigation::tvMenuChange() {
    const int selected = absoluteIndex(tree_.currentItem());
    if (selected >= 0 && selected < pages_.count()) {
        // Show the new tab before hiding the others, so that the tab bar never has to
        // pick a current tab of its own.
        pages_.setTabVisible(selected, true);
        pages_.setCurrentIndex(selected);
    }
    for (int page = 0; page < pages_.count(); ++page) {
        if (page != selected) {
            pages_.setTabVisible(page, false);
        }
    }
}

void Navigation::ShowPage(const QString& caption) {
    for (int page = 0; page < pages_.count(); ++page) {
        if (pages_.tabText(page) != caption || page == pages_.currentIndex()) {
            continue;
        }
        QTreeWidgetItem* item = itemAt(page);
        pages_.setTabVisible(page, false);
        pages_.setCurrentIndex(page);
        if (item && item != tree_.currentItem()) {
            tree_.setCurrentItem(item); // runs tvMenuChange through the tree's signal
        } else {
            tvMenuChange();
        }
        return;
    }
}

} // namespace skarvel
