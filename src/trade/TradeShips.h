#pragma once

#include <string>
#include <vector>

namespace skarvel {

class DataSet;

namespace trade {

// A ship of the route table's choice: its name as the ship list shows it and its hold.
struct TradeShip {
    std::string name;
    double holdSize = 0;
};

// The ships of the open set with a hold, in the ship list's order.
std::vector<TradeShip> tradeShips(DataSet& dataSet);

} // namespace trade
} // namespace skarvel
