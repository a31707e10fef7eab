#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class DataSet;

// The nickname of every ship section in list order (entry k belongs to "Ship" + k), in UTF-8
// like the names of the list; empty while the set is closed.
std::vector<std::string> shipNicknames(const DataSet& dataSet);

// Whether a ship list entry stays visible under the filter text: its display name or its
// nickname contains the text, letter case of A-Z and of the Latin-1 letters ignored. All
// three are UTF-8.
bool shipMatchesFilter(std::string_view name, std::string_view nickname, std::string_view text);

} // namespace skarvel
