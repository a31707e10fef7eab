#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class FleetEdits;

// The Fleet table as RFC 4180 CSV (UTF-8, CR LF): a header row of column keys, the nickname
// first as the key column, then the rows' texts as shown (pending changes included), numbers
// with a decimal point.
std::string fleetCsv(const FleetEdits& edits, const std::vector<std::size_t>& rows,
                     const std::vector<std::size_t>& columns);

// The records of a CSV text, each a list of fields; quotes removed, "" read as one quote.
std::vector<std::vector<std::string>> parseCsv(std::string_view text);

// What an import did: how many cells became pending changes, and what it left alone.
struct FleetImport {
    std::size_t changed = 0;
    std::vector<std::string> problems; // unknown nicknames and columns, unreadable values
};

// Matches the rows by nickname and makes every cell that differs from the shown text a
// pending change; what cannot be matched or read changes nothing and is listed.
FleetImport importFleetCsv(FleetEdits& edits, std::string_view csv);

} // namespace skarvel
