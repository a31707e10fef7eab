#pragma once

#include "trade/Calculator.h"

#include <QAbstractTableModel>
#include <functional>
#include <vector>

namespace skarvel {

// The three tables of the Commodity page over one calculator. Numbers are given as numbers
// under Qt::UserRole, so that the sorting proxies sort them by value.
inline constexpr int kSortRole = Qt::UserRole;

// One row per commodity; the base price is editable.
class CommodityTableModel : public QAbstractTableModel {
public:
    enum Column { Name, Nickname, BasePrice, Volume, Cheapest, Dearest, Margin, MarginPerVolume };

    // edit: takes the typed price of a commodity; false when refused.
    CommodityTableModel(const trade::Calculator*& calculator,
                        std::function<bool(std::size_t, const QString&)> edit, QObject* parent);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // The calculator was replaced or its prices changed.
    void reset();
    void pricesChanged();

private:
    const trade::Calculator*& calculator_;
    std::function<bool(std::size_t, const QString&)> edit_;
    std::vector<trade::CommodityRow> rows_;
};

// The bases trading one commodity; the multiplier is editable. A base in no route says why
// in its row's tool tip; one that moors NPCs only trades "NPC only".
class MarketTableModel : public QAbstractTableModel {
public:
    enum Column { Base, System, Multiplier, Price, Trade };

    MarketTableModel(const trade::Calculator*& calculator,
                     std::function<bool(std::size_t, const QString&)> edit, QObject* parent);
    void showCommodity(std::size_t commodity);
    void pricesChanged();
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    const trade::Calculator*& calculator_;
    std::function<bool(std::size_t, const QString&)> edit_;
    std::vector<std::size_t> markets_;
};

// The best trades for one ship.
class RouteTableModel : public QAbstractTableModel {
public:
    enum Column {
        BuyAt,
        SellAt,
        Commodity,
        ProfitPerUnit,
        Units,
        ProfitPerHold,
        Time,
        ProfitPerMinute,
        Jumps,
        Path,
        CargoBack,
        LoopTime,
        LoopProfitPerMinute
    };

    RouteTableModel(const trade::Calculator*& calculator, QObject* parent);
    void setRoutes(std::vector<trade::Route> routes);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const trade::Calculator*& calculator_;
    std::vector<trade::Route> routes_;
};

} // namespace skarvel
