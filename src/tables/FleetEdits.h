#pragma once

#include "gamedata/PendingChanges.h"
#include "tables/FleetMounts.h"
#include "tables/TableEdits.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class FleetTable;

// The Fleet page's pending changes: typed into cells or made over many rows at once. A value
// lives in one section, so ships that share an engine or power plant share its changes, and
// a change is made once per section whatever the number of rows selected.
class FleetEdits {
public:
    using Operation = TableOperation;

    explicit FleetEdits(const FleetTable& table) : table_(&table) {}
    // A new table (after a save or a reload): the changes are dropped.
    void reset(const FleetTable& table);

    const FleetTable& table() const { return *table_; }
    // Where the cell's value lives, with its text as read; nothing when it cannot change.
    std::optional<PendingChange> place(std::size_t row, std::size_t column) const;
    // The pending text, else the text as read.
    std::string shown(std::size_t row, std::size_t column) const;
    // The cell takes a change: a value with a place, or the level of hardpoints the ship has.
    bool changeable(std::size_t row, std::size_t column) const;
    bool edited(std::size_t row, std::size_t column) const;

    // The text typed into a cell: empty when taken, else why not.
    std::string set(std::size_t row, std::size_t column, std::string_view typed);
    // Applies the operation to the column's cells of the rows (once per section), or to none
    // when a value cannot stand in one of them.
    BulkChange apply(const std::vector<std::size_t>& rows, std::size_t column, Operation operation,
                     std::string_view operand);
    // The names of the other ships whose value changes with these rows' cells of the column.
    std::vector<std::string> sharing(const std::vector<std::size_t>& rows,
                                     std::size_t column) const;

    bool empty() const { return values_.empty() && mounts_.empty(); }
    void clear();
    // The change is no longer pending (the user kept the file's value, or it was written).
    void drop(const PendingChange& change);
    // The ship's level changes are no longer pending (the user kept the file's lines).
    void dropMounts(const std::string& shipNickname);
    // In the order they were first made.
    const std::vector<PendingChange>& changes() const { return values_.changes(); }
    // The new highest levels of special hardpoints, ship by ship.
    std::vector<MountChange> mountChanges() const;
    // The number of ships whose values change.
    std::size_t shipCount() const;

private:
    class Cells;
    Cells cells() const;

    // The level column's cell: its new level, or the reason it cannot take one.
    struct LevelOutcome {
        int level = 0;
        std::string refusal;
    };
    LevelOutcome computedLevel(std::size_t row, std::size_t column, Operation operation,
                               std::string_view operand) const;
    void storeLevel(std::size_t row, std::size_t column, int level);

    const FleetTable* table_;
    std::map<std::pair<std::size_t, std::size_t>, int> mounts_; // (row, column) -> level
    TableEdits values_; // the cells of the field table's keys
};

} // namespace skarvel
