#pragma once

#include "trade/TradeData.h"

#include <vector>

namespace skarvel::trade {

// Why a base is in no route, or Open when it may be.
enum class Reach { Open, NpcOnly, NoDock, Unreachable, BehindLockedGate };

// The ship-independent part of the travel model, built once per reading: the lane rings
// and the gates and holes of every system (the hubs), each lane as its rings in order, and
// which bases a player can reach at all.
class TravelGraph {
public:
    struct Hub {
        std::size_t object = kNone;
        std::size_t system = kNone;
        std::size_t lane = kNone;   // a ring's lane
        std::size_t target = kNone; // a gate's or hole's other side, a hub
        bool exit = false;          // a lane's end or a gate: free flight starts there
        std::size_t exitIndex = kNone;
    };
    struct Lane {
        std::vector<std::size_t> hubs; // in ring order
        std::vector<double> along;     // metres from the first ring, by place in the lane
        std::vector<double> x, y, z;   // each ring's position, by place (the search scans them)
    };

    TravelGraph() = default;
    explicit TravelGraph(const TradeData& data);

    const std::vector<Hub>& hubs() const { return hubs_; }
    const std::vector<Lane>& lanes() const { return lanes_; }
    double along(std::size_t hub) const { return along_[hub]; }
    const std::vector<std::size_t>& hubsIn(std::size_t system) const { return hubsIn_[system]; }
    const std::vector<std::size_t>& exitsIn(std::size_t system) const { return exitsIn_[system]; }
    const std::vector<std::size_t>& lanesIn(std::size_t system) const { return lanesIn_[system]; }
    // The gates and holes of the system that lead somewhere, as hubs.
    const std::vector<std::size_t>& portalsIn(std::size_t system) const {
        return portalsIn_[system];
    }
    std::size_t exitCount() const { return exitCount_; }
    std::size_t exitHub(std::size_t exit) const { return exitHubs_[exit]; }
    // The base's dock object when a player may dock there, else kNone.
    std::size_t dock(std::size_t base) const { return docks_[base]; }
    Reach reach(std::size_t base, bool storyGatesOpen) const {
        return storyGatesOpen ? reachOpen_[base] : reachClosed_[base];
    }

private:
    void buildLanes(const TradeData& data);
    std::vector<Reach> reachOf(const TradeData& data, bool storyGatesOpen) const;

    std::vector<Hub> hubs_;
    std::vector<Lane> lanes_;
    std::vector<double> along_;
    std::vector<std::vector<std::size_t>> hubsIn_, exitsIn_, lanesIn_, portalsIn_;
    std::vector<std::size_t> exitHubs_;
    std::size_t exitCount_ = 0;
    std::vector<std::size_t> docks_;
    std::vector<Reach> reachClosed_, reachOpen_;
};

} // namespace skarvel::trade
