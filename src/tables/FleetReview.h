#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace skarvel {

class FleetEdits;

// The ships whose values the Fleet page's changes touch, in table order: the name the ship
// list shows, or the nickname where the list knows no name.
std::vector<std::string> changedShipNames(const FleetEdits& edits);

// The names comma-separated, the first `most` of them and then "and N more"; empty when
// there are none.
inline constexpr std::size_t kListedShips = 20;
std::string listOfNames(const std::vector<std::string>& names, std::size_t most = kListedShips);

// The line under "N ships change." that says which: the list and a line end, or nothing.
std::string changedShipsLine(const FleetEdits& edits);

} // namespace skarvel
