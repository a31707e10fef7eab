#include "app/PinPanel.h"

#include "app/TableModel.h"
#include "tables/Comparison.h"

#include <QAbstractButton>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

namespace skarvel {

namespace {

// Not the colour of a pending change: a difference is no change.
const QColor kDiffers(205, 228, 255);

} // namespace

PinPanel::PinPanel(QTableWidget& panel, QAbstractButton& clear, TableSource& source, int keyColumn,
                   QObject* parent)
    : QObject(parent), panel_(panel), clear_(clear), source_(source), keyColumn_(keyColumn) {
    panel_.verticalHeader()->setDefaultSectionSize(panel_.fontMetrics().height() + 6);
    panel_.setVisible(false);
    clear_.setEnabled(false);
}

const std::vector<std::string>& PinPanel::pinned() const {
    static const std::vector<std::string> none;
    const auto found = pins_.find(group_);
    return found == pins_.end() ? none : found->second;
}

void PinPanel::setGroup(const std::string& group) {
    group_ = group;
    refresh();
}

void PinPanel::toggle(const std::vector<int>& sourceRows) {
    std::vector<std::string>& pinned = pins_[group_];
    std::vector<std::string> keys;
    for (const int row : sourceRows) {
        keys.push_back(source_.asRead(row, keyColumn_));
    }
    const bool allPinned = std::all_of(keys.begin(), keys.end(), [&](const std::string& key) {
        return std::find(pinned.begin(), pinned.end(), key) != pinned.end();
    });
    for (const std::string& key : keys) {
        const auto found = std::find(pinned.begin(), pinned.end(), key);
        if (allPinned) {
            pinned.erase(found);
        } else if (found == pinned.end()) {
            pinned.push_back(key);
        }
    }
    refresh();
}

void PinPanel::clearGroup() {
    pins_.erase(group_);
    refresh();
}

void PinPanel::forgetAll() {
    pins_.clear();
    refresh();
}

void PinPanel::refresh() {
    panel_.clear();
    std::vector<std::vector<std::string>> rows;
    std::vector<int> shownRows;
    QStringList names;
    for (const std::string& key : pinned()) {
        for (int row = 0; row < source_.rowCount(); ++row) {
            if (source_.asRead(row, keyColumn_) == key) {
                shownRows.push_back(row);
                names << QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
                break;
            }
        }
    }
    panel_.setVisible(!shownRows.empty());
    clear_.setEnabled(!pinned().empty());
    if (shownRows.empty()) {
        panel_.setRowCount(0);
        panel_.setColumnCount(0);
        return;
    }
    std::vector<int> columns;
    std::vector<std::string> keys;
    std::vector<bool> numeric;
    for (int column = 0; column < source_.columnCount(); ++column) {
        if (column != keyColumn_) {
            columns.push_back(column);
            keys.push_back(source_.header(column).toStdString());
            numeric.push_back(source_.numeric(column));
        }
    }
    for (const int row : shownRows) {
        std::vector<std::string>& texts = rows.emplace_back();
        for (const int column : columns) {
            texts.push_back(source_.shown(row, column));
        }
    }
    const std::vector<ComparedColumn> compared = comparePinned(keys, numeric, rows);
    panel_.setColumnCount(static_cast<int>(names.size()));
    panel_.setHorizontalHeaderLabels(names);
    panel_.setRowCount(static_cast<int>(compared.size()));
    QStringList headers;
    for (std::size_t line = 0; line < compared.size(); ++line) {
        const ComparedColumn& column = compared[line];
        headers << QString::fromStdString(column.key);
        for (std::size_t pin = 0; pin < column.values.size(); ++pin) {
            const std::string& value = column.values[pin];
            QString text =
                source_.utf8(columns[line])
                    ? QString::fromStdString(value)
                    : QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size()));
            if (!column.difference[pin].empty()) {
                text += QStringLiteral(" (%1)").arg(QString::fromStdString(column.difference[pin]));
            }
            auto* item = new QTableWidgetItem(text);
            if (column.differs[pin]) {
                item->setBackground(QBrush(kDiffers));
            }
            if (numeric[line]) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            panel_.setItem(static_cast<int>(line), static_cast<int>(pin), item);
        }
    }
    panel_.setVerticalHeaderLabels(headers);
    panel_.resizeColumnsToContents();
}

} // namespace skarvel
