#include "app/FleetModel.h"

#include "app/ChangedCell.h"
#include "ships/Numbers.h"
#include "tables/FleetColumns.h"
#include "tables/FleetCommands.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <limits>

namespace skarvel {

namespace {

constexpr int kSortRole = Qt::UserRole;

QString shownText(const FleetColumn& column, const std::string& text) {
    // The ship list's names are UTF-8; the files' values are shown byte for byte.
    return column.source == FleetSource::Name
               ? QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
               : QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString fromStd(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const FleetColumn& columnAt(int column) {
    return fleetColumns()[static_cast<std::size_t>(column)];
}

} // namespace

FleetModel::FleetModel(FleetCommands& fleet, std::function<void(const QString&)> refused,
                       QObject* parent)
    : QAbstractTableModel(parent), fleet_(fleet), refused_(std::move(refused)) {}

void FleetModel::reload() {
    beginResetModel();
    endResetModel();
}

void FleetModel::changesMade() {
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
}

int FleetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fleet_.table().rows().size());
}

int FleetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fleetColumns().size());
}

QVariant FleetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    const FleetColumn& fleetColumn = columnAt(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return shownText(fleetColumn, fleet_.edits().shown(row, column));
    case kSortRole: {
        const std::string text = fleet_.edits().shown(row, column);
        if (fleetColumn.numeric) {
            // Empty cells sort before every number.
            const auto number = readNumber(text);
            return number ? *number : -std::numeric_limits<double>::infinity();
        }
        return shownText(fleetColumn, text);
    }
    case Qt::TextAlignmentRole:
        return fleetColumn.numeric ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    case Qt::BackgroundRole:
        return changedCellBackground(fleet_.edits().edited(row, column));
    case Qt::FontRole:
        if (fleetColumn.source == FleetSource::Name) {
            QFont link;
            link.setUnderline(true);
            return link;
        }
        return {};
    case Qt::ToolTipRole:
        if (fleet_.edits().edited(row, column)) {
            return QStringLiteral("Pending: was %1")
                .arg(shownText(fleetColumn, fleet_.table().rows()[row].cells[column]));
        }
        return fleetColumn.source == FleetSource::Name
                   ? QStringLiteral("Click to open this ship on the Ship page")
                   : QVariant();
    default:
        return {};
    }
}

QVariant FleetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::InitialSortOrderRole) {
        // One click on a number's header shows the largest first.
        return columnAt(section).numeric ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    if (role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return fromStd(fleetHeader(columnAt(section)));
}

Qt::ItemFlags FleetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && fleet_.edits().changeable(static_cast<std::size_t>(index.row()),
                                                     static_cast<std::size_t>(index.column()))) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool FleetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) {
        return false;
    }
    const std::string typed = value.toString().toLatin1().toStdString();
    const std::string refusal = fleet_.edits().set(static_cast<std::size_t>(index.row()),
                                                   static_cast<std::size_t>(index.column()), typed);
    if (!refusal.empty()) {
        refused_(fromStd(refusal));
        return false;
    }
    // Ships that share the section show the change too.
    emit dataChanged(this->index(0, index.column()), this->index(rowCount() - 1, index.column()));
    return true;
}

FleetFilter::FleetFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(kSortRole);
}

void FleetFilter::setText(const QString& text) {
    text_ = text.trimmed();
    invalidateFilter();
}

bool FleetFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (text_.isEmpty()) {
        return true;
    }
    static const int columns[] = {static_cast<int>(fleetColumnOfKey("name")),
                                  static_cast<int>(fleetColumnOfKey("nickname")),
                                  static_cast<int>(fleetColumnOfKey("type")),
                                  static_cast<int>(fleetColumnOfKey("ship_class"))};
    for (const int column : columns) {
        if (sourceModel()
                ->index(sourceRow, column)
                .data()
                .toString()
                .contains(text_, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

bool FleetFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QVariant a = left.data(kSortRole);
    const QVariant b = right.data(kSortRole);
    if (columnAt(left.column()).numeric) {
        return a.toDouble() < b.toDouble();
    }
    return QString::localeAwareCompare(a.toString(), b.toString()) < 0;
}

} // namespace skarvel
