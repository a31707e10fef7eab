#include "trade/Calculator.h"

#include "trade/PriceRules.h"

#include <algorithm>
#include <cmath>

namespace skarvel::trade {

namespace {

bool better(const Route& a, const Route& b) {
    if (a.profitPerMinute != b.profitPerMinute) {
        return a.profitPerMinute > b.profitPerMinute;
    }
    return a.profitPerHold > b.profitPerHold;
}

void keepBest(std::vector<Route>& routes, std::size_t limit) {
    const auto end = routes.begin() + static_cast<std::ptrdiff_t>(std::min(limit, routes.size()));
    std::partial_sort(routes.begin(), end, routes.end(), better);
    routes.erase(end, routes.end());
}

} // namespace

Calculator::Calculator(TradeData data)
    : data_(std::move(data)), times_(data_), marketsOf_(data_.commodities.size()) {
    for (std::size_t m = 0; m < data_.markets.size(); ++m) {
        marketsOf_[data_.markets[m].commodity].push_back(m);
    }
    loaded_.commodities = data_.commodities;
    loaded_.markets = data_.markets;
}

std::int64_t Calculator::price(std::size_t market) const {
    const Market& m = data_.markets[market];
    return priceAt(data_.commodities[m.commodity].price, m.multiplier);
}

bool Calculator::sells(std::size_t market) const {
    return baseSells(data_.markets[market].minStock, data_.markets[market].maxStock);
}

CommodityRow Calculator::commodityRow(std::size_t commodity) const {
    CommodityRow row;
    for (std::size_t m : marketsOf_[commodity]) {
        const std::int64_t p = price(m);
        if (sells(m) && (row.cheapestBase == kNone || p < row.cheapestPrice)) {
            row.cheapestBase = data_.markets[m].base;
            row.cheapestPrice = p;
        }
        if (row.dearestBase == kNone || p > row.dearestPrice) {
            row.dearestBase = data_.markets[m].base;
            row.dearestPrice = p;
        }
    }
    if (row.cheapestBase != kNone && row.dearestBase != kNone) {
        row.margin = row.dearestPrice - row.cheapestPrice;
        row.marginPerVolume = static_cast<double>(row.margin) / data_.commodities[commodity].volume;
    }
    return row;
}

std::vector<Route> Calculator::routesOf(std::size_t commodity, const RouteQuery& query) const {
    std::vector<Route> routes;
    const double volume = data_.commodities[commodity].volume;
    const auto units = static_cast<std::int64_t>(std::floor(query.holdSize / volume + 1e-9));
    for (std::size_t buy : marketsOf_[commodity]) {
        const std::size_t from = data_.markets[buy].base;
        if (!sells(buy) || (query.startBase != kNone && from != query.startBase) ||
            (query.startSystem != kNone && data_.bases[from].system != query.startSystem)) {
            continue;
        }
        const std::int64_t cost = price(buy);
        for (std::size_t sell : marketsOf_[commodity]) {
            const std::size_t to = data_.markets[sell].base;
            const std::int64_t profit = price(sell) - cost;
            const double seconds = to == from ? -1 : times_.seconds(from, to);
            if (profit <= 0 || seconds <= 0) {
                continue;
            }
            const std::int64_t perHold = profit * units;
            const Route route{buy,
                              sell,
                              commodity,
                              profit,
                              units,
                              perHold,
                              seconds,
                              static_cast<double>(perHold) * 60 / seconds,
                              times_.jumps(from, to)};
            // A heap of the best so far, the worst of them on top.
            if (routes.size() < query.limit) {
                routes.push_back(route);
                std::push_heap(routes.begin(), routes.end(), better);
            } else if (!routes.empty() && better(route, routes.front())) {
                std::pop_heap(routes.begin(), routes.end(), better);
                routes.back() = route;
                std::push_heap(routes.begin(), routes.end(), better);
            }
        }
    }
    std::sort_heap(routes.begin(), routes.end(), better);
    return routes;
}

std::vector<Route> Calculator::routes(const RouteQuery& query) const {
    if (!(query == cachedQuery_) || cached_.size() != data_.commodities.size()) {
        cachedQuery_ = query;
        cached_.assign(data_.commodities.size(), {});
        fresh_.assign(data_.commodities.size(), false);
    }
    std::vector<Route> all;
    for (std::size_t c = 0; c < data_.commodities.size(); ++c) {
        if (!fresh_[c]) {
            cached_[c] = routesOf(c, query);
            fresh_[c] = true;
        }
        all.insert(all.end(), cached_[c].begin(), cached_[c].end());
    }
    keepBest(all, query.limit);
    return all;
}

bool Calculator::setBasePrice(std::size_t commodity, const std::string& text) {
    const auto value = readNumber(text);
    if (!value || *value < 0) {
        return false;
    }
    data_.commodities[commodity].price = *value;
    data_.commodities[commodity].priceText = text;
    if (commodity < fresh_.size()) {
        fresh_[commodity] = false;
    }
    return true;
}

bool Calculator::setMultiplier(std::size_t market, const std::string& text) {
    const auto value = readNumber(text);
    if (!value || *value < 0) {
        return false;
    }
    Market& m = data_.markets[market];
    m.multiplier = *value;
    m.multiplierText = text;
    m.lineValue = withLastField(loaded_.markets[market].lineValue, text);
    if (m.commodity < fresh_.size()) {
        fresh_[m.commodity] = false;
    }
    return true;
}

std::vector<PriceEdit> Calculator::edits() const {
    std::vector<PriceEdit> edits;
    for (std::size_t c = 0; c < data_.commodities.size(); ++c) {
        if (data_.commodities[c].priceText != loaded_.commodities[c].priceText) {
            edits.push_back(
                {c, kNone, loaded_.commodities[c].priceText, data_.commodities[c].priceText});
        }
    }
    for (std::size_t m = 0; m < data_.markets.size(); ++m) {
        if (data_.markets[m].lineValue != loaded_.markets[m].lineValue) {
            edits.push_back({kNone, m, loaded_.markets[m].lineValue, data_.markets[m].lineValue});
        }
    }
    return edits;
}

} // namespace skarvel::trade
