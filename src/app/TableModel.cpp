#include "app/TableModel.h"

#include "app/ChangedCell.h"
#include "ships/Numbers.h"

#include <QFont>
#include <limits>

namespace skarvel {

namespace {

QString fromStd(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TableModel::TableModel(TableSource& source, std::function<void(const QString&)> refused,
                       QObject* parent)
    : QAbstractTableModel(parent), source_(source), refused_(std::move(refused)) {}

void TableModel::reload() {
    beginResetModel();
    endResetModel();
}

void TableModel::changesMade() {
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : source_.rowCount();
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : source_.columnCount();
}

QString TableModel::text(int column, const std::string& bytes) const {
    return source_.utf8(column)
               ? fromStd(bytes)
               : QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(column, source_.shown(row, column));
    case kSortRole: {
        const std::string shown = source_.shown(row, column);
        if (source_.numeric(column)) {
            // Empty cells sort before every number.
            const auto number = readNumber(shown);
            return number ? *number : -std::numeric_limits<double>::infinity();
        }
        return text(column, shown);
    }
    case kNumericRole:
        return source_.numeric(column);
    case Qt::TextAlignmentRole:
        return source_.numeric(column) ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                                       : QVariant();
    case Qt::BackgroundRole:
        return changedCellBackground(source_.edited(row, column));
    case Qt::FontRole:
        if (!source_.linkTip(column).isEmpty()) {
            QFont link;
            link.setUnderline(true);
            return link;
        }
        return {};
    case Qt::ToolTipRole:
        if (source_.edited(row, column)) {
            return QStringLiteral("Pending: was %1").arg(text(column, source_.asRead(row, column)));
        }
        return source_.linkTip(column).isEmpty() ? QVariant() : source_.linkTip(column);
    default:
        return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (role) {
    case Qt::InitialSortOrderRole:
        // One click on a number's header shows the largest first.
        return source_.numeric(section) ? Qt::DescendingOrder : Qt::AscendingOrder;
    case Qt::DisplayRole:
        return source_.header(section);
    case Qt::ToolTipRole:
        return source_.headerTip(section).isEmpty() ? QVariant() : source_.headerTip(section);
    default:
        return QAbstractTableModel::headerData(section, orientation, role);
    }
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && source_.changeable(index.row(), index.column())) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) {
        return false;
    }
    const std::string typed = value.toString().toLatin1().toStdString();
    const std::string refusal = source_.set(index.row(), index.column(), typed);
    if (!refusal.empty()) {
        refused_(fromStd(refusal));
        return false;
    }
    // Rows that share the section show the change too.
    emit dataChanged(this->index(0, index.column()), this->index(rowCount() - 1, index.column()));
    return true;
}

TableFilter::TableFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(TableModel::kSortRole);
}

void TableFilter::setText(const QString& text) {
    text_ = text.trimmed();
    invalidateFilter();
}

bool TableFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (text_.isEmpty()) {
        return true;
    }
    for (const int column : columns_) {
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

bool TableFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QVariant a = left.data(TableModel::kSortRole);
    const QVariant b = right.data(TableModel::kSortRole);
    if (left.data(TableModel::kNumericRole).toBool()) {
        return a.toDouble() < b.toDouble();
    }
    return QString::localeAwareCompare(a.toString(), b.toString()) < 0;
}

} // namespace skarvel
