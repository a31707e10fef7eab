#pragma once

#include "gamedata/PendingChanges.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// What a change of many cells did. A value one cell's key cannot hold stops it all.
struct BulkChange {
    std::vector<std::string> refused;   // "Defender: ..." values the keys cannot hold
    std::vector<std::string> skipped;   // cells that take no change
    std::vector<std::string> unchanged; // cells the change leaves as they were
    bool applied() const { return refused.empty(); }
};

// The message for the user: empty when every cell changed.
std::string bulkChangeMessage(const BulkChange& change);

enum class TableOperation { Set, Add, Percent };

// The rows and columns of a table, as the edits see them: each cell's text as read and the
// section and key its value lives in.
class TableCells {
public:
    virtual std::size_t rowCount() const = 0;
    // "Defender": how messages name the row.
    virtual std::string rowName(std::size_t row) const = 0;
    virtual std::string asRead(std::size_t row, std::size_t column) const = 0;
    // Where the cell's value lives, with its text as read; nothing when it cannot change.
    virtual std::optional<PendingChange> place(std::size_t row, std::size_t column) const = 0;
    // Values of the column are numbers; whole: counts the game reads as whole numbers.
    virtual bool numeric(std::size_t column) const = 0;
    virtual bool whole(std::size_t column) const = 0;
    // The text the file gets for a value taken (a decimal comma where the file has one).
    virtual std::string textForFile(const PendingChange& place, const std::string& text) const = 0;

protected:
    ~TableCells() = default;
};

// The pending changes of a table's cells. A value lives in one section, so rows that share a
// section (ships with one engine, guns with one munition) share its change, and a bulk change
// makes it once whatever the number of rows. A value type: the cells are given to each call,
// so that a copy (an undo step) holds no pointer into its table.
class TableEdits {
public:
    // The pending text, else the text as read.
    std::string shown(const TableCells& cells, std::size_t row, std::size_t column) const;
    bool edited(const TableCells& cells, std::size_t row, std::size_t column) const;

    // The text typed into a cell: empty when taken, else why not.
    std::string set(const TableCells& cells, std::size_t row, std::size_t column,
                    std::string_view typed);
    // Applies the operation to the column's cells of the rows (once per section), or to none
    // when a value cannot stand in one of them.
    BulkChange apply(const TableCells& cells, const std::vector<std::size_t>& rows,
                     std::size_t column, TableOperation operation, std::string_view operand);
    // The names of the other rows whose value changes with these rows' cells of the column.
    std::vector<std::string> sharing(const TableCells& cells, const std::vector<std::size_t>& rows,
                                     std::size_t column) const;

    bool empty() const { return changes_.empty(); }
    void clear();
    // The change is no longer pending (the user kept the file's value, or it was written).
    void drop(const PendingChange& change);
    // In the order they were first made.
    const std::vector<PendingChange>& changes() const { return changes_; }
    // The pending text of the place's section and key, if a change is pending there.
    const std::string* pending(const PendingChange& place) const;
    bool operator==(const TableEdits& other) const { return changes_ == other.changes_; }

    // Section and key, letter case aside: two cells with one target share their value.
    static std::string targetKey(const PendingChange& change);

private:
    // The new text for a cell, or the reason it cannot take one.
    struct Outcome {
        std::string text;
        std::string refusal;
    };
    Outcome computed(const TableCells& cells, std::size_t row, std::size_t column,
                     TableOperation operation, std::string_view operand) const;
    void store(const TableCells& cells, const PendingChange& place, std::string text);

    std::vector<PendingChange> changes_;
    std::map<std::string, std::size_t> index_; // targetKey -> position in changes_
};

} // namespace skarvel
