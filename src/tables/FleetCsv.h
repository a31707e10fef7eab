#pragma once

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

// The problems an import message lists; the others are counted.
inline constexpr std::size_t kShownProblems = 50;

// What an import did: how many changes it made pending, and what it left alone.
struct FleetImport {
    // Values shared by several ships (an engine, a power plant) count once.
    std::size_t changed = 0;
    char separator = ',';
    std::size_t problemCount = 0;
    // The first kShownProblems, each naming its line, in the game files' code page.
    std::vector<std::string> problems;
};

// Matches the rows by nickname (letter case aside) and makes every cell that differs from
// the value read from the files a pending change, as typing it would. Left alone and listed:
// a broken line, a row of another number of fields than the header, an unknown or repeated
// nickname (every row of a repeated one), a value that is not one number in a numeric
// column, one holding a NUL byte or ';', one the cell refuses, and a value shared by several
// ships that the rows give differently. A value equal to the one read changes nothing, even
// where a change is pending. onProblem is told every problem as it is found.
FleetImport importFleetCsv(FleetEdits& edits, std::string_view csv,
                           const std::function<void(const std::string&)>& onProblem = {});

} // namespace skarvel
