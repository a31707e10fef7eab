#pragma once

#include "tables/TableCsvImport.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class FleetEdits;

// The Fleet table as RFC 4180 CSV (UTF-8, CR LF, a byte order mark when asked for, as
// spreadsheets want it): a header row of column keys, the nickname first as the key column,
// then the rows' texts as shown (pending changes included), numbers with a decimal point. A
// text a spreadsheet would run as a formula gets a leading ' (numbers stay as they are).
std::string fleetCsv(const FleetEdits& edits, const std::vector<std::size_t>& rows,
                     const std::vector<std::size_t>& columns, bool byteOrderMark = false);

// The fields of the records of a CSV text; broken lines are left out.
std::vector<std::vector<std::string>> parseCsv(std::string_view text, char separator = ',');

using FleetImport = TableImport;

// importTableCsv over the Fleet table: its columns by key, its ships by nickname; the level
// columns change the ship's levels, every other cell its section's key.
FleetImport importFleetCsv(FleetEdits& edits, std::string_view csv,
                           const std::function<void(const std::string&)>& onProblem = {});

} // namespace skarvel
