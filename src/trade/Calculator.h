#pragma once

#include "trade/TradeData.h"
#include "trade/TravelGraph.h"
#include "trade/TravelTimes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace skarvel::trade {

// One commodity's best market pair among the bases a player can dock at.
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
    // The best cargo back from the selling base to the buying one (none: kNone, 0).
    std::size_t backBuyMarket = kNone, backSellMarket = kNone;
    std::int64_t backProfitPerHold = 0;
    double loopSeconds = 0; // there and back
    double loopProfitPerMinute = 0;
    std::vector<Leg> legs; // the way there
};

enum class RouteOrder { OneWay, RoundTrip };

struct RouteQuery {
    double holdSize = 0;
    std::size_t startSystem = kNone; // buy only in this system
    std::size_t startBase = kNone;   // buy only at this base
    std::size_t limit = 200;
    ShipTravel ship{0, 0}; // a cruise speed of 0: constants.ini's
    RouteOrder order = RouteOrder::OneWay;
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
// travel graph built once, travel times per ship and travel settings, and the rows of the
// three tables.
class Calculator {
public:
    Calculator() = default;
    explicit Calculator(TradeData data, TravelSettings settings = {});

    const TradeData& data() const { return data_; }
    const TravelGraph& graph() const { return graph_; }
    const TravelSettings& settings() const { return settings_; }
    void setSettings(const TravelSettings& settings);
    const TravelTimes& times(ShipTravel ship) const;
    // Whether the ship's travel times are worked out already (routes are quick then).
    bool hasTimes(ShipTravel ship) const { return times_ && timesShip_ == resolved(ship); }

    std::int64_t price(std::size_t market) const { return prices_[market]; }
    bool sells(std::size_t market) const { return sells_[market] != 0; }
    // Why the market's base is in no route; Reach::Open when it is in them.
    Reach reach(std::size_t base) const { return graph_.reach(base, settings_.storyGatesOpen); }
    const std::vector<std::size_t>& marketsOf(std::size_t commodity) const {
        return marketsOf_[commodity];
    }
    CommodityRow commodityRow(std::size_t commodity) const;
    // The best trades, by profit per minute one way or over the loop; trades of an edited
    // commodity are found again.
    std::vector<Route> routes(const RouteQuery& query) const;

    // False (nothing changed) when the text is not a number within range (0 to 2147483647 for
    // a base price, 0 to 1000 for a multiplier).
    bool setBasePrice(std::size_t commodity, const std::string& text);
    bool setMultiplier(std::size_t market, const std::string& text);
    // The prices that differ from the files' texts, commodities first.
    std::vector<PriceEdit> edits() const;
    bool basePriceEdited(std::size_t commodity) const {
        return data_.commodities[commodity].priceText != loaded_.commodities[commodity].priceText;
    }
    bool multiplierEdited(std::size_t market) const {
        return data_.markets[market].lineValue != loaded_.markets[market].lineValue;
    }

private:
    struct Cargo {
        std::size_t buy = kNone, sell = kNone;
        std::int64_t perHold = 0;
    };
    ShipTravel resolved(ShipTravel ship) const;
    void priceMarket(std::size_t market);
    std::int64_t units(std::size_t commodity, double holdSize) const;
    bool traded(std::size_t market) const;
    std::size_t marketAt(std::size_t base, std::size_t commodity) const;
    // counts: the units of a full hold by commodity (unitCounts).
    Cargo bestCargo(std::size_t from, std::size_t to,
                    const std::vector<std::int64_t>& counts) const;
    std::vector<std::int64_t> unitCounts(double holdSize) const;
    std::vector<Route> routesOf(std::size_t commodity, const RouteQuery& query,
                                const TravelTimes& times) const;
    std::vector<Route> roundTrips(const RouteQuery& query, const TravelTimes& times) const;
    void complete(Route& route, const RouteQuery& query, const TravelTimes& times) const;

    TradeData data_;
    TradeData loaded_; // the texts as read, for the edits
    TravelGraph graph_;
    TravelSettings settings_;
    std::vector<std::vector<std::size_t>> marketsOf_, marketsAt_; // by commodity, by base
    std::vector<std::uint32_t> marketTable_;                      // base x commodity
    std::vector<bool> hasMarkets_;                                // by base
    std::vector<std::int64_t> prices_;                            // by market, as edited
    std::vector<char> sells_;                                     // by market
    // Travel times of the last ship asked for, and the ways of the routes shown.
    mutable std::unique_ptr<TravelTimes> times_;
    mutable ShipTravel timesShip_;
    mutable std::map<std::pair<std::size_t, std::size_t>, Trip> trips_;
    // The best trades of each commodity for the last query; empty entries are stale.
    mutable RouteQuery cachedQuery_;
    mutable std::vector<std::vector<Route>> cached_;
    mutable std::vector<bool> fresh_;
};

} // namespace skarvel::trade
