#pragma once

#include <string>
#include <vector>

namespace skarvel {

// Pinned rows of one table side by side: one line per column, one value per pinned row.
struct ComparedColumn {
    std::string key;
    std::vector<std::string> values; // by pinned row
    // By pinned row: the value differs from the first pinned row's.
    std::vector<bool> differs;
    // By pinned row: for a number, its difference to the first row's ("+12.5", "-3"); empty
    // for the first row, for texts and where either value is no number.
    std::vector<std::string> difference;
    bool anyDifference = false;
};

// keys and numeric by column; rows: each pinned row's texts by column.
std::vector<ComparedColumn> comparePinned(const std::vector<std::string>& keys,
                                          const std::vector<bool>& numeric,
                                          const std::vector<std::vector<std::string>>& rows);

} // namespace skarvel
