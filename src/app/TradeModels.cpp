#include "app/TradeModels.h"

#include "app/ChangedCell.h"
#include "trade/RouteText.h"

#include <QLocale>

namespace skarvel {

namespace {

using trade::kNone;

QString utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString number(double value, int decimals) {
    return QLocale().toString(value, 'f', decimals);
}

QString credits(std::int64_t value) {
    return QLocale().toString(static_cast<qlonglong>(value));
}

// "4:35" for 275 seconds.
QString minutes(double seconds) {
    const auto whole = static_cast<long long>(seconds + 0.5);
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

// "Freistadt, Rheinland".
QString baseName(const trade::TradeData& data, std::size_t base) {
    return base == kNone ? QString() : utf8(trade::baseLabel(data, base));
}

// The text shown and the value sorted by.
QVariant cell(int role, const QString& text, const QVariant& sortValue) {
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return text;
    }
    if (role == kSortRole) {
        return sortValue.isValid() ? sortValue : QVariant(text);
    }
    return {};
}

QVariant header(int section, Qt::Orientation orientation, int role,
                std::initializer_list<const char*> titles) {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(titles.size())) {
        return {};
    }
    return QString::fromLatin1(titles.begin()[section]);
}

} // namespace

CommodityTableModel::CommodityTableModel(const trade::Calculator*& calculator,
                                         std::function<bool(std::size_t, const QString&)> edit,
                                         QObject* parent)
    : QAbstractTableModel(parent), calculator_(calculator), edit_(std::move(edit)) {}

int CommodityTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CommodityTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : MarginPerVolume + 1;
}

QVariant CommodityTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !calculator_) {
        return {};
    }
    const auto c = static_cast<std::size_t>(index.row());
    const trade::TradeData& data = calculator_->data();
    const trade::Commodity& commodity = data.commodities[c];
    const trade::CommodityRow& row = rows_[c];
    const bool traded = row.cheapestBase != kNone && row.dearestBase != kNone;
    if (role == Qt::BackgroundRole) {
        return changedCellBackground(index.column() == BasePrice &&
                                     calculator_->basePriceEdited(c));
    }
    switch (index.column()) {
    case Name:
        return cell(role, utf8(commodity.name), {});
    case Nickname:
        return cell(role, QString::fromLatin1(commodity.nickname), {});
    case BasePrice:
        return cell(role, QString::fromLatin1(commodity.priceText), commodity.price);
    case Volume:
        return cell(role, number(commodity.volume, commodity.volume == 1 ? 0 : 2),
                    commodity.volume);
    case Cheapest:
        return cell(role,
                    row.cheapestBase == kNone
                        ? QString()
                        : QStringLiteral("%1 (%2)").arg(baseName(data, row.cheapestBase),
                                                        credits(row.cheapestPrice)),
                    static_cast<qlonglong>(row.cheapestPrice));
    case Dearest:
        return cell(role,
                    row.dearestBase == kNone
                        ? QString()
                        : QStringLiteral("%1 (%2)").arg(baseName(data, row.dearestBase),
                                                        credits(row.dearestPrice)),
                    static_cast<qlonglong>(row.dearestPrice));
    case Margin:
        return cell(role, traded ? credits(row.margin) : QString(),
                    static_cast<qlonglong>(row.margin));
    case MarginPerVolume:
        return cell(role, traded ? number(row.marginPerVolume, 1) : QString(), row.marginPerVolume);
    default:
        return {};
    }
}

QVariant CommodityTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return header(section, orientation, role,
                  {"Commodity", "Nickname", "Base price", "Volume", "Cheapest seller",
                   "Dearest buyer", "Margin", "Margin / volume"});
}

Qt::ItemFlags CommodityTableModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.column() == BasePrice ? flags | Qt::ItemIsEditable : flags;
}

bool CommodityTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != BasePrice) {
        return false;
    }
    return edit_(static_cast<std::size_t>(index.row()), value.toString());
}

void CommodityTableModel::reset() {
    beginResetModel();
    rows_.clear();
    if (calculator_) {
        for (std::size_t c = 0; c < calculator_->data().commodities.size(); ++c) {
            rows_.push_back(calculator_->commodityRow(c));
        }
    }
    endResetModel();
}

void CommodityTableModel::pricesChanged() {
    for (std::size_t c = 0; c < rows_.size(); ++c) {
        rows_[c] = calculator_->commodityRow(c);
    }
    if (!rows_.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
}

MarketTableModel::MarketTableModel(const trade::Calculator*& calculator,
                                   std::function<bool(std::size_t, const QString&)> edit,
                                   QObject* parent)
    : QAbstractTableModel(parent), calculator_(calculator), edit_(std::move(edit)) {}

void MarketTableModel::showCommodity(std::size_t commodity) {
    beginResetModel();
    markets_.clear();
    if (calculator_ && commodity < calculator_->data().commodities.size()) {
        markets_ = calculator_->marketsOf(commodity);
    }
    endResetModel();
}

void MarketTableModel::pricesChanged() {
    if (!markets_.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
}

int MarketTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(markets_.size());
}

int MarketTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Trade + 1;
}

QVariant MarketTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !calculator_) {
        return {};
    }
    const trade::TradeData& data = calculator_->data();
    const std::size_t m = markets_[static_cast<std::size_t>(index.row())];
    const trade::Market& market = data.markets[m];
    const trade::Base& base = data.bases[market.base];
    const trade::Reach reach = calculator_->reach(market.base);
    if (role == Qt::BackgroundRole) {
        return changedCellBackground(index.column() == Multiplier &&
                                     calculator_->multiplierEdited(m));
    }
    if (role == Qt::ToolTipRole) {
        const std::string why = trade::reachText(reach);
        return why.empty() ? QVariant() : QVariant(utf8(why));
    }
    switch (index.column()) {
    case Base:
        return cell(role, utf8(base.name), {});
    case System:
        return cell(role, base.system == kNone ? QString() : utf8(data.systems[base.system].name),
                    {});
    case Multiplier:
        return cell(role, QString::fromLatin1(market.multiplierText), market.multiplier);
    case Price:
        return cell(role, credits(calculator_->price(m)),
                    static_cast<qlonglong>(calculator_->price(m)));
    case Trade:
        return cell(role,
                    reach == trade::Reach::NpcOnly ? QStringLiteral("NPC only")
                    : calculator_->sells(m)        ? QStringLiteral("sells")
                                                   : QStringLiteral("buys only"),
                    {});
    default:
        return {};
    }
}

QVariant MarketTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return header(section, orientation, role, {"Base", "System", "Multiplier", "Price", "Trade"});
}

Qt::ItemFlags MarketTableModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.column() == Multiplier ? flags | Qt::ItemIsEditable : flags;
}

bool MarketTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != Multiplier) {
        return false;
    }
    return edit_(markets_[static_cast<std::size_t>(index.row())], value.toString());
}

RouteTableModel::RouteTableModel(const trade::Calculator*& calculator, QObject* parent)
    : QAbstractTableModel(parent), calculator_(calculator) {}

void RouteTableModel::setRoutes(std::vector<trade::Route> routes) {
    beginResetModel();
    routes_ = std::move(routes);
    endResetModel();
}

int RouteTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(routes_.size());
}

int RouteTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : LoopProfitPerMinute + 1;
}

QVariant RouteTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !calculator_) {
        return {};
    }
    const trade::TradeData& data = calculator_->data();
    const trade::Route& route = routes_[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
    case BuyAt:
        return cell(role, baseName(data, data.markets[route.buyMarket].base), {});
    case SellAt:
        return cell(role, baseName(data, data.markets[route.sellMarket].base), {});
    case Commodity:
        return cell(role, utf8(data.commodities[route.commodity].name), {});
    case ProfitPerUnit:
        return cell(role, credits(route.profitPerUnit),
                    static_cast<qlonglong>(route.profitPerUnit));
    case Units:
        return cell(role, credits(route.units), static_cast<qlonglong>(route.units));
    case ProfitPerHold:
        return cell(role, credits(route.profitPerHold),
                    static_cast<qlonglong>(route.profitPerHold));
    case Time:
        return cell(role, minutes(route.seconds), route.seconds);
    case ProfitPerMinute:
        return cell(role, number(route.profitPerMinute, 0), route.profitPerMinute);
    case Jumps:
        return cell(role, QString::number(route.jumps), route.jumps);
    case Path:
        return cell(role, utf8(trade::pathText(data, route.legs)), {});
    case CargoBack:
        return cell(
            role,
            route.backBuyMarket == kNone
                ? QStringLiteral("nothing")
                : QStringLiteral("%1 (%2)").arg(
                      utf8(data.commodities[data.markets[route.backBuyMarket].commodity].name),
                      credits(route.backProfitPerHold)),
            static_cast<qlonglong>(route.backProfitPerHold));
    case LoopTime:
        return cell(role, route.loopSeconds > 0 ? minutes(route.loopSeconds) : QString(),
                    route.loopSeconds);
    case LoopProfitPerMinute:
        return cell(role, route.loopSeconds > 0 ? number(route.loopProfitPerMinute, 0) : QString(),
                    route.loopProfitPerMinute);
    default:
        return {};
    }
}

QVariant RouteTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return header(section, orientation, role,
                  {"Buy at", "Sell at", "Commodity", "Profit / unit", "Units / hold",
                   "Profit / hold", "Time", "Profit / min", "Jumps", "Path", "Cargo back",
                   "Loop time", "Loop profit / min"});
}

} // namespace skarvel
