#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// What a CSV import reads a table through: its columns by key, its rows by nickname, and each
// cell's shared value.
class CsvImportTarget {
public:
    virtual std::size_t columnCount() const = 0;
    virtual std::string columnKey(std::size_t column) const = 0;
    // columnCount() when no column has that key.
    virtual std::size_t columnOfKey(std::string_view key) const = 0;
    virtual bool numeric(std::size_t column) const = 0;
    // The column holds UTF-8 (names); the files' values are in their code page.
    virtual bool utf8(std::size_t column) const = 0;
    virtual std::size_t rowCount() const = 0;
    // What a CSV row names the row by (its nickname, matched in any letter case).
    virtual std::string rowNickname(std::size_t row) const = 0;
    virtual std::string asRead(std::size_t row, std::size_t column) const = 0;
    // The value the cell changes: cells of one target share it, so the rows giving it are
    // settled together. Empty when the cell takes no change.
    virtual std::string target(std::size_t row, std::size_t column) const = 0;
    // Where that value lives ("[Engine] li_engine01"), for the message of a conflict.
    virtual std::string sectionOf(std::size_t row, std::size_t column) const = 0;
    virtual std::string shown(std::size_t row, std::size_t column) const = 0;
    // Empty when taken, else why not.
    virtual std::string set(std::size_t row, std::size_t column, const std::string& value) = 0;

protected:
    ~CsvImportTarget() = default;
};

// The problems an import message lists; the others are counted.
inline constexpr std::size_t kShownProblems = 50;

// What an import did: how many changes it made pending, and what it left alone.
struct TableImport {
    // Values shared by several rows (an engine, a munition) count once.
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
// rows that the rows give differently. A value equal to the one read changes nothing, even
// where a change is pending. onProblem is told every problem as it is found.
TableImport importTableCsv(CsvImportTarget& table, std::string_view csv,
                           const std::function<void(const std::string&)>& onProblem = {});

} // namespace skarvel
