#include "trade/Calculator.h"

#include "trade/PriceRules.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace skarvel::trade {

namespace {

bool better(const Route& a, const Route& b) {
    if (a.profitPerMinute != b.profitPerMinute) {
        return a.profitPerMinute > b.profitPerMinute;
    }
    return a.profitPerHold > b.profitPerHold;
}

bool betterLoop(const Route& a, const Route& b) {
    if (a.loopProfitPerMinute != b.loopProfitPerMinute) {
        return a.loopProfitPerMinute > b.loopProfitPerMinute;
    }
    return better(a, b);
}

using Order = bool (*)(const Route&, const Route&);

// A heap of the best so far, the worst of them on top.
void offer(std::vector<Route>& routes, Route route, std::size_t limit, Order order) {
    if (routes.size() < limit) {
        routes.push_back(std::move(route));
        std::push_heap(routes.begin(), routes.end(), order);
    } else if (!routes.empty() && order(route, routes.front())) {
        std::pop_heap(routes.begin(), routes.end(), order);
        routes.back() = std::move(route);
        std::push_heap(routes.begin(), routes.end(), order);
    }
}

void keepBest(std::vector<Route>& routes, std::size_t limit, Order order) {
    const auto end = routes.begin() + static_cast<std::ptrdiff_t>(std::min(limit, routes.size()));
    std::partial_sort(routes.begin(), end, routes.end(), order);
    routes.erase(end, routes.end());
}

// Products and sums of credits, null when they leave 64 bits.
std::optional<std::int64_t> product(std::int64_t a, std::int64_t b) {
    std::int64_t result = 0;
    return __builtin_mul_overflow(a, b, &result) ? std::nullopt : std::optional(result);
}

std::optional<std::int64_t> sum(std::int64_t a, std::int64_t b) {
    std::int64_t result = 0;
    return __builtin_add_overflow(a, b, &result) ? std::nullopt : std::optional(result);
}

} // namespace

Calculator::Calculator(TradeData data, TravelSettings settings)
    : data_(std::move(data)), graph_(data_), settings_(settings),
      marketsOf_(data_.commodities.size()), marketsAt_(data_.bases.size()),
      marketTable_(data_.bases.size() * data_.commodities.size(), UINT32_MAX),
      hasMarkets_(data_.bases.size(), false), prices_(data_.markets.size()),
      sells_(data_.markets.size()) {
    for (std::size_t m = 0; m < data_.markets.size(); ++m) {
        priceMarket(m);
        const Market& market = data_.markets[m];
        marketsOf_[market.commodity].push_back(m);
        marketsAt_[market.base].push_back(m);
        hasMarkets_[market.base] = true;
        marketTable_[market.base * data_.commodities.size() + market.commodity] =
            static_cast<std::uint32_t>(m);
    }
    loaded_.commodities = data_.commodities;
    loaded_.markets = data_.markets;
}

void Calculator::setSettings(const TravelSettings& settings) {
    if (settings == settings_) {
        return;
    }
    settings_ = settings;
    times_.reset();
    trips_.clear();
    cached_.clear();
}

ShipTravel Calculator::resolved(ShipTravel ship) const {
    if (!(ship.cruiseSpeed > 0)) {
        ship.cruiseSpeed = data_.cruiseSpeed;
    }
    return ship;
}

const TravelTimes& Calculator::times(ShipTravel ship) const {
    ship = resolved(ship);
    if (!times_ || !(timesShip_ == ship)) {
        times_ = std::make_unique<TravelTimes>(data_, graph_, ship, settings_, hasMarkets_);
        timesShip_ = ship;
        trips_.clear();
    }
    return *times_;
}

// Prices are kept worked out: a search asks for each of them many times.
void Calculator::priceMarket(std::size_t market) {
    const Market& m = data_.markets[market];
    prices_[market] = priceAt(data_.commodities[m.commodity].price, m.multiplier);
    sells_[market] = baseSells(m.minStock, m.maxStock) ? 1 : 0;
}

bool Calculator::traded(std::size_t market) const {
    return reach(data_.markets[market].base) == Reach::Open;
}

std::size_t Calculator::marketAt(std::size_t base, std::size_t commodity) const {
    const std::uint32_t m = marketTable_[base * data_.commodities.size() + commodity];
    return m == UINT32_MAX ? kNone : m;
}

std::vector<std::int64_t> Calculator::unitCounts(double holdSize) const {
    std::vector<std::int64_t> counts(data_.commodities.size());
    for (std::size_t c = 0; c < counts.size(); ++c) {
        counts[c] = units(c, holdSize);
    }
    return counts;
}

std::int64_t Calculator::units(std::size_t commodity, double holdSize) const {
    const double count = std::floor(holdSize / data_.commodities[commodity].volume + 1e-9);
    return count > 0 && count < 1e15 ? static_cast<std::int64_t>(count) : 0;
}

CommodityRow Calculator::commodityRow(std::size_t commodity) const {
    CommodityRow row;
    for (std::size_t m : marketsOf_[commodity]) {
        const Reach why = reach(data_.markets[m].base);
        if (why == Reach::NpcOnly || why == Reach::NoDock) {
            continue; // no player trades there
        }
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

// The most a full hold earns from one base to another, one commodity.
// The round trips ask this of a million pairs: the hold's units come worked out.
Calculator::Cargo Calculator::bestCargo(std::size_t from, std::size_t to,
                                        const std::vector<std::int64_t>& counts) const {
    Cargo best;
    for (const std::size_t buy : marketsAt_[from]) {
        if (!sells(buy)) {
            continue;
        }
        const std::size_t commodity = data_.markets[buy].commodity;
        const std::size_t sell = marketAt(to, commodity);
        if (sell == kNone || price(sell) <= price(buy)) {
            continue;
        }
        const auto perHold = product(price(sell) - price(buy), counts[commodity]);
        if (perHold && *perHold > best.perHold) {
            best = {buy, sell, *perHold};
        }
    }
    return best;
}

std::vector<Route> Calculator::routesOf(std::size_t commodity, const RouteQuery& query,
                                        const TravelTimes& times) const {
    std::vector<Route> routes;
    const std::int64_t count = units(commodity, query.holdSize);
    for (std::size_t buy : marketsOf_[commodity]) {
        const std::size_t from = data_.markets[buy].base;
        if (!sells(buy) || !traded(buy) || (query.startBase != kNone && from != query.startBase) ||
            (query.startSystem != kNone && data_.bases[from].system != query.startSystem)) {
            continue;
        }
        const std::int64_t cost = price(buy);
        for (std::size_t sell : marketsOf_[commodity]) {
            const std::size_t to = data_.markets[sell].base;
            const std::int64_t profit = price(sell) - cost;
            if (profit <= 0 || to == from || !traded(sell)) {
                continue;
            }
            const double seconds = times.seconds(from, to);
            const auto perHold = product(profit, count);
            if (seconds <= 0 || !perHold) {
                continue;
            }
            Route route;
            route.buyMarket = buy;
            route.sellMarket = sell;
            route.commodity = commodity;
            route.profitPerUnit = profit;
            route.units = count;
            route.profitPerHold = *perHold;
            route.seconds = seconds;
            route.profitPerMinute = static_cast<double>(*perHold) * 60 / seconds;
            offer(routes, std::move(route), query.limit, better);
        }
    }
    std::sort_heap(routes.begin(), routes.end(), better);
    return routes;
}

// Every trade with the best cargo back, by the profit per minute of the loop.
std::vector<Route> Calculator::roundTrips(const RouteQuery& query, const TravelTimes& times) const {
    std::vector<Route> routes;
    const std::vector<std::int64_t> counts = unitCounts(query.holdSize);
    // The most a hold can earn from each base to anywhere: a bound that leaves most pairs
    // before their cargo back is looked for.
    std::vector<std::int64_t> dearest(data_.commodities.size(), 0);
    for (std::size_t m = 0; m < data_.markets.size(); ++m) {
        if (traded(m)) {
            dearest[data_.markets[m].commodity] =
                std::max(dearest[data_.markets[m].commodity], price(m));
        }
    }
    std::vector<std::int64_t> most(data_.bases.size(), 0);
    for (std::size_t m = 0; m < data_.markets.size(); ++m) {
        const std::size_t commodity = data_.markets[m].commodity;
        if (sells(m) && dearest[commodity] > price(m)) {
            const auto perHold =
                product(dearest[commodity] - price(m), units(commodity, query.holdSize));
            most[data_.markets[m].base] =
                std::max(most[data_.markets[m].base],
                         perHold.value_or(std::numeric_limits<std::int64_t>::max()));
        }
    }
    for (std::size_t from = 0; from < data_.bases.size(); ++from) {
        if (!hasMarkets_[from] || reach(from) != Reach::Open ||
            (query.startBase != kNone && from != query.startBase) ||
            (query.startSystem != kNone && data_.bases[from].system != query.startSystem)) {
            continue;
        }
        const std::vector<double> backs = times.secondsInto(from);
        for (std::size_t to = 0; to < data_.bases.size(); ++to) {
            if (to == from || !hasMarkets_[to] || reach(to) != Reach::Open) {
                continue;
            }
            // Most pairs trade nothing at a profit: no times worked out for them.
            const Cargo there = bestCargo(from, to, counts);
            if (there.perHold <= 0) {
                continue;
            }
            const double seconds = times.seconds(from, to);
            if (seconds <= 0) {
                continue;
            }
            const double back = backs[to];
            if (back <= 0 || (routes.size() == query.limit &&
                              (static_cast<double>(there.perHold) + static_cast<double>(most[to])) *
                                      60 / (seconds + back) <
                                  routes.front().loopProfitPerMinute)) {
                continue;
            }
            const Cargo home = bestCargo(to, from, counts);
            // A loop that cannot enter the table even with the best cargo both ways is left.
            if (routes.size() == query.limit &&
                static_cast<double>(there.perHold + home.perHold) * 60 / (seconds + back) <
                    routes.front().loopProfitPerMinute) {
                continue;
            }
            for (const std::size_t buy : marketsAt_[from]) {
                const std::size_t commodity = data_.markets[buy].commodity;
                const std::size_t sell = marketAt(to, commodity);
                if (sell == kNone || !sells(buy) || price(sell) <= price(buy)) {
                    continue;
                }
                const std::int64_t count = counts[commodity];
                const auto perHold = product(price(sell) - price(buy), count);
                const auto loop = perHold ? sum(*perHold, home.perHold) : std::nullopt;
                if (!loop || *perHold <= 0) {
                    continue;
                }
                Route route;
                route.buyMarket = buy;
                route.sellMarket = sell;
                route.commodity = commodity;
                route.profitPerUnit = price(sell) - price(buy);
                route.units = count;
                route.profitPerHold = *perHold;
                route.seconds = seconds;
                route.profitPerMinute = static_cast<double>(*perHold) * 60 / seconds;
                route.backBuyMarket = home.buy;
                route.backSellMarket = home.sell;
                route.backProfitPerHold = home.perHold;
                route.loopSeconds = seconds + back;
                route.loopProfitPerMinute = static_cast<double>(*loop) * 60 / route.loopSeconds;
                offer(routes, std::move(route), query.limit, betterLoop);
            }
        }
    }
    std::sort_heap(routes.begin(), routes.end(), betterLoop);
    return routes;
}

// The cargo back, the loop and the way of a route that is shown.
void Calculator::complete(Route& route, const RouteQuery& query, const TravelTimes& times) const {
    const std::size_t from = data_.markets[route.buyMarket].base;
    const std::size_t to = data_.markets[route.sellMarket].base;
    auto found = trips_.find({from, to});
    if (found == trips_.end()) {
        found = trips_.emplace(std::pair(from, to), times.trip(from, to)).first;
    }
    route.legs = found->second.legs;
    route.jumps = found->second.jumps;
    if (route.loopSeconds > 0) {
        return;
    }
    const Cargo home = bestCargo(to, from, unitCounts(query.holdSize));
    const double back = times.seconds(to, from);
    route.backBuyMarket = home.buy;
    route.backSellMarket = home.sell;
    route.backProfitPerHold = home.perHold;
    const auto loop = sum(route.profitPerHold, home.perHold);
    if (back > 0 && loop) {
        route.loopSeconds = route.seconds + back;
        route.loopProfitPerMinute = static_cast<double>(*loop) * 60 / route.loopSeconds;
    }
}

std::vector<Route> Calculator::routes(const RouteQuery& query) const {
    const TravelTimes& shipTimes = times(query.ship);
    if (!(query == cachedQuery_) || cached_.size() != data_.commodities.size()) {
        cachedQuery_ = query;
        cached_.assign(data_.commodities.size(), {});
        fresh_.assign(data_.commodities.size(), false);
    }
    std::vector<Route> all;
    if (query.order == RouteOrder::RoundTrip) {
        all = roundTrips(query, shipTimes);
    } else {
        for (std::size_t c = 0; c < data_.commodities.size(); ++c) {
            if (!fresh_[c]) {
                cached_[c] = routesOf(c, query, shipTimes);
                fresh_[c] = true;
            }
            all.insert(all.end(), cached_[c].begin(), cached_[c].end());
        }
        keepBest(all, query.limit, better);
    }
    for (Route& route : all) {
        complete(route, query, shipTimes);
    }
    return all;
}

bool Calculator::setBasePrice(std::size_t commodity, const std::string& text) {
    const auto value = readNumber(text);
    if (!value || *value < 0 || *value > kMaxBasePrice) {
        return false;
    }
    data_.commodities[commodity].price = *value;
    data_.commodities[commodity].priceText = text;
    for (const std::size_t m : marketsOf_[commodity]) {
        priceMarket(m);
    }
    if (commodity < fresh_.size()) {
        fresh_[commodity] = false;
    }
    return true;
}

bool Calculator::setMultiplier(std::size_t market, const std::string& text) {
    const auto value = readNumber(text);
    if (!value || *value < 0 || *value > kMaxMultiplier) {
        return false;
    }
    Market& m = data_.markets[market];
    m.multiplier = *value;
    m.multiplierText = text;
    m.lineValue = withLastField(loaded_.markets[market].lineValue, text);
    priceMarket(market);
    if (m.commodity < fresh_.size()) {
        fresh_[m.commodity] = false;
    }
    return true;
}

std::vector<PriceEdit> Calculator::edits() const {
    std::vector<PriceEdit> edits;
    for (std::size_t c = 0; c < data_.commodities.size(); ++c) {
        if (basePriceEdited(c)) {
            edits.push_back(
                {c, kNone, loaded_.commodities[c].priceText, data_.commodities[c].priceText});
        }
    }
    for (std::size_t m = 0; m < data_.markets.size(); ++m) {
        if (multiplierEdited(m)) {
            edits.push_back({kNone, m, loaded_.markets[m].lineValue, data_.markets[m].lineValue});
        }
    }
    return edits;
}

} // namespace skarvel::trade
