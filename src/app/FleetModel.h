#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>
#include <functional>

namespace skarvel {

class FleetCommands;

// The Fleet table for Qt's views: the core's rows and pending changes, nothing of its own.
class FleetModel : public QAbstractTableModel {
public:
    // refused: the reason a typed value was not taken.
    FleetModel(FleetCommands& fleet, std::function<void(const QString&)> refused,
               QObject* parent = nullptr);

    // The core's table or its changes changed.
    void reload();
    void changesMade();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    FleetCommands& fleet_;
    std::function<void(const QString&)> refused_;
};

// Sorting numbers as numbers, and the filter over name, nickname, type and class.
class FleetFilter : public QSortFilterProxyModel {
public:
    explicit FleetFilter(QObject* parent = nullptr);
    void setText(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QString text_;
};

} // namespace skarvel
