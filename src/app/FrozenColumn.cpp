#include "app/FrozenColumn.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTableView>

namespace skarvel {

FrozenColumn::FrozenColumn(QTableView& table)
    : QObject(&table), table_(table), frozen_(new QTableView(&table)) {
    frozen_->setModel(table.model());
    frozen_->setSelectionModel(table.selectionModel());
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    frozen_->setAlternatingRowColors(table.alternatingRowColors());
    frozen_->setSelectionBehavior(table.selectionBehavior());
    frozen_->setSelectionMode(table.selectionMode());
    frozen_->verticalHeader()->hide();
    frozen_->verticalHeader()->setDefaultSectionSize(table.verticalHeader()->defaultSectionSize());
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->horizontalHeader()->setSortIndicatorShown(true);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setStyleSheet(QStringLiteral("QTableView { border: none; }"));
    // Both scroll by pixels so that their rows stay level.
    table.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    table.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    frozen_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table.viewport()->stackUnder(frozen_);
    hideOtherColumns();

    QHeaderView* header = table.horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, [this](int logical) {
        if (logical == 0) {
            update();
        }
    });
    connect(header, &QHeaderView::geometriesChanged, this, &FrozenColumn::update);
    connect(table.verticalHeader(), &QHeaderView::geometriesChanged, this, &FrozenColumn::update);
    connect(table.verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int row, int, int size) { frozen_->setRowHeight(row, size); });
    connect(header, &QHeaderView::sectionMoved, this, [header] {
        if (header->visualIndex(0) != 0) {
            header->moveSection(header->visualIndex(0), 0);
        }
    });
    // Sorting by the first column from either header.
    frozen_->horizontalHeader()->setSortIndicator(header->sortIndicatorSection() == 0 ? 0 : -1,
                                                  header->sortIndicatorOrder());
    connect(header, &QHeaderView::sortIndicatorChanged, this,
            [this](int section, Qt::SortOrder order) {
                frozen_->horizontalHeader()->setSortIndicator(section == 0 ? 0 : -1, order);
            });
    connect(frozen_->horizontalHeader(), &QHeaderView::sectionClicked, this, [header] {
        const bool ascending = header->sortIndicatorSection() == 0 &&
                               header->sortIndicatorOrder() == Qt::AscendingOrder;
        header->setSortIndicator(0, ascending ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, table.verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(table.verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(table.model(), &QAbstractItemModel::modelReset, this, [this] {
        hideOtherColumns();
        update();
    });
    connect(table.selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FrozenColumn::keepCurrentInView);
    table.viewport()->installEventFilter(this);
    update();
}

void FrozenColumn::hideOtherColumns() {
    for (int column = 1; column < frozen_->model()->columnCount(); ++column) {
        frozen_->setColumnHidden(column, true);
    }
}

void FrozenColumn::update() {
    frozen_->setVisible(!table_.isColumnHidden(0));
    frozen_->setColumnWidth(0, table_.columnWidth(0));
    frozen_->horizontalHeader()->setFixedHeight(table_.horizontalHeader()->height());
    const int frame = table_.frameWidth();
    frozen_->setGeometry(table_.verticalHeader()->width() + frame, frame, table_.columnWidth(0),
                         table_.viewport()->height() + table_.horizontalHeader()->height());
}

// A cell reached by the keyboard must not stay under the frozen column.
void FrozenColumn::keepCurrentInView() {
    const QModelIndex current = table_.currentIndex();
    if (!frozen_->isVisible() || !current.isValid() || current.column() == 0) {
        return;
    }
    const int hidden = frozen_->columnWidth(0) - table_.visualRect(current).left();
    if (hidden > 0) {
        table_.horizontalScrollBar()->setValue(table_.horizontalScrollBar()->value() - hidden);
    }
}

bool FrozenColumn::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_.viewport() && event->type() == QEvent::Resize) {
        update();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace skarvel
