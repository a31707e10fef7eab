#pragma once

#include "trade/TravelGraph.h"
#include "trade/TravelTimes.h"

#include <string>
#include <vector>

namespace skarvel::trade {

// "Freistadt, Rheinland": many bases share a name, their systems tell them apart.
std::string baseLabel(const TradeData& data, std::size_t base);

// The systems a way passes, each gate or hole, and the lanes ridden in each system:
// "Alpha (lane a_lane_1–a_lane_4) → gate → Beta".
std::string pathText(const TradeData& data, const std::vector<Leg>& legs);

// Why a base is in no route, for its markets row; empty when it is in them.
std::string reachText(Reach reach);

} // namespace skarvel::trade
