#pragma once

#include "trade/TradeData.h"

#include <cstdint>
#include <vector>

namespace skarvel::trade {

// Speeds and fixed times of the travel model.
inline constexpr double kTradeLaneSpeed = 2250; // m/s between successive rings
inline constexpr double kDockingSeconds = 10;   // once per trip, at the selling base
inline constexpr double kJumpSeconds = 15;      // per jump gate or hole passed

// The shortest travel time from every base to every other, over free flight at cruise speed
// between the objects of a system, trade lanes between successive rings and jumps through
// goto objects (Dijkstra), plus the docking time. Built once per data set.
class TravelTimes {
public:
    TravelTimes() = default;
    explicit TravelTimes(const TradeData& data);

    // Seconds from base a to base b, docking included; negative when b cannot be reached.
    double seconds(std::size_t a, std::size_t b) const { return seconds_[a * count_ + b]; }
    int jumps(std::size_t a, std::size_t b) const { return jumps_[a * count_ + b]; }
    std::size_t baseCount() const { return count_; }

private:
    std::size_t count_ = 0;
    std::vector<double> seconds_;
    std::vector<std::uint16_t> jumps_;
};

} // namespace skarvel::trade
