#pragma once

#include "check/Problem.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

namespace skarvel {

// The checker's problems as a table: severity, rule, file, line, nickname, message.
class ProblemModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setProblems(check::Problems problems);
    const check::Problems& problems() const { return problems_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    check::Problems problems_;
};

// Rows of one severity and one rule, or of all when the filter's text is empty.
class ProblemFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setFilter(const QString& severity, const QString& rule);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    QString severity_;
    QString rule_;
};

} // namespace skarvel
