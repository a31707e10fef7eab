#pragma once

#include "trade/TradeData.h"
#include "trade/TravelTimes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace skarvel::trade {

// One commodity's best market pair.
struct CommodityRow {
    std::size_t cheapestBase = kNone; // the cheapest base selling it
    std::int64_t cheapestPrice = 0;
    std::size_t dearestBase = kNone; // the dearest base buying it
    std::int64_t dearestPrice = 0;
    std::int64_t margin = 0;    // 0 without both
    double marginPerVolume = 0; // per cargo unit
};

struct Route {
    std::size_t buyMarket = kNone, sellMarket = kNone; // into TradeData::markets
    std::size_t commodity = kNone;
    std::int64_t profitPerUnit = 0;
    std::int64_t units = 0; // per full hold
    std::int64_t profitPerHold = 0;
    double seconds = 0;
    double profitPerMinute = 0;
    int jumps = 0;
};

struct RouteQuery {
    double holdSize = 0;
    std::size_t startSystem = kNone; // buy only in this system
    std::size_t startBase = kNone;   // buy only at this base
    std::size_t limit = 200;
    bool operator==(const RouteQuery&) const = default;
};

// A price the user typed, against the file's text.
struct PriceEdit {
    std::size_t commodity = kNone; // a base price in goods.ini
    std::size_t market = kNone;    // or a multiplier in market_commodities.ini
    std::string loaded;
    std::string value;
};

// The calculator over one reading of the files: prices as the user has edited them, the
// travel times built once, and the rows of the three tables.
class Calculator {
public:
    Calculator() = default;
    explicit Calculator(TradeData data);

    const TradeData& data() const { return data_; }
    const TravelTimes& times() const { return times_; }

    std::int64_t price(std::size_t market) const;
    bool sells(std::size_t market) const;
    const std::vector<std::size_t>& marketsOf(std::size_t commodity) const {
        return marketsOf_[commodity];
    }
    CommodityRow commodityRow(std::size_t commodity) const;
    // The best trades, by profit per minute; trades of an edited commodity are found again.
    std::vector<Route> routes(const RouteQuery& query) const;

    // False (nothing changed) when the text is not a number of at least 0.
    bool setBasePrice(std::size_t commodity, const std::string& text);
    bool setMultiplier(std::size_t market, const std::string& text);
    // The prices that differ from the files' texts, commodities first.
    std::vector<PriceEdit> edits() const;

private:
    std::vector<Route> routesOf(std::size_t commodity, const RouteQuery& query) const;

    TradeData data_;
    TradeData loaded_; // the texts as read, for the edits
    TravelTimes times_;
    std::vector<std::vector<std::size_t>> marketsOf_;
    // The best trades of each commodity for the last query; empty entries are stale.
    mutable RouteQuery cachedQuery_;
    mutable std::vector<std::vector<Route>> cached_;
    mutable std::vector<bool> fresh_;
};

} // namespace skarvel::trade
