#pragma once

#include "trade/TravelTimes.h"

#include <string>
#include <unordered_set>
#include <vector>

namespace skarvel {

class DataSet;

namespace trade {

// A ship of the route table's choice: its name as the ship list shows it, its hold and what
// its package's engine gives the trip.
struct TradeShip {
    std::string name;
    std::string package; // its package good's nickname, lower case; empty without one
    int shipIndex = -1;  // in the ship list
    double holdSize = 0;
    ShipTravel travel{0, 0}; // a cruise speed of 0: the game's CRUISING_SPEED
};

// The ships of the open set with a hold, in the ship list's order. Reads through the set's
// files: on the window's thread.
std::vector<TradeShip> tradeShips(DataSet& dataSet);

// The ships some market sells (their package among goodsSold) first, then the rest, each
// part in the list's order; soldCount says where the rest begins.
struct ShipChoice {
    std::vector<TradeShip> ships;
    std::size_t soldCount = 0;
};
ShipChoice shipChoice(std::vector<TradeShip> ships,
                      const std::unordered_set<std::string>& goodsSold);

} // namespace trade
} // namespace skarvel
