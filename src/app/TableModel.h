#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace skarvel {

// What a table page shows, cell by cell: the core's rows and pending changes, read through
// one small view so that every table page (Fleet, equipment) has the same model.
class TableSource {
public:
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    virtual QString header(int column) const = 0;
    // The header's tool tip: how a derived value is worked out.
    virtual QString headerTip(int) const { return {}; }
    virtual bool numeric(int column) const = 0;
    // The column holds UTF-8 (names); the files' values are shown byte for byte.
    virtual bool utf8(int column) const = 0;
    virtual std::string shown(int row, int column) const = 0;
    virtual std::string asRead(int row, int column) const = 0;
    virtual bool edited(int row, int column) const = 0;
    virtual bool changeable(int row, int column) const = 0;
    // Empty when taken, else why not.
    virtual std::string set(int row, int column, const std::string& typed) = 0;
    // A click on the column's cells opens what the row is (the ship on the Ship page).
    virtual QString linkTip(int) const { return {}; }

protected:
    ~TableSource() = default;
};

// A table page's cells for Qt's views: nothing of its own.
class TableModel : public QAbstractTableModel {
public:
    // refused: the reason a typed value was not taken.
    TableModel(TableSource& source, std::function<void(const QString&)> refused,
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

    static constexpr int kSortRole = Qt::UserRole;
    static constexpr int kNumericRole = Qt::UserRole + 1;

private:
    QString text(int column, const std::string& bytes) const;

    TableSource& source_;
    std::function<void(const QString&)> refused_;
};

// Sorting numbers as numbers, and a filter over some columns.
class TableFilter : public QSortFilterProxyModel {
public:
    explicit TableFilter(QObject* parent = nullptr);
    // The columns the filter text is looked for in.
    void setFilterColumns(std::vector<int> columns) { columns_ = std::move(columns); }
    void setText(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QString text_;
    std::vector<int> columns_;
};

} // namespace skarvel
