#include "tables/FleetEdits.h"

#include "gamedata/TextParts.h"
#include "platform/AsciiText.h"
#include "ships/Numbers.h"
#include "ships/ShipFields.h"
#include "ships/ShipPlaces.h"
#include "tables/CellNumbers.h"
#include "tables/FleetColumns.h"
#include "tables/FleetTable.h"

#include <algorithm>
#include <set>

namespace skarvel {

namespace {

std::string rowName(const FleetShip& ship) {
    return ship.name.empty() ? ship.place.shipNickname : ship.name;
}

} // namespace

void FleetEdits::reset(const FleetTable& table) {
    table_ = &table;
    clear();
}

void FleetEdits::clear() {
    values_.clear();
    mounts_.clear();
}

void FleetEdits::drop(const PendingChange& change) {
    values_.drop(change);
}

// The Fleet table's cells as the table engine sees them.
class FleetEdits::Cells final : public TableCells {
public:
    explicit Cells(const FleetEdits& edits) : edits_(edits) {}
    std::size_t rowCount() const override { return edits_.table_->rows().size(); }
    std::string rowName(std::size_t row) const override {
        return skarvel::rowName(edits_.table_->rows()[row]);
    }
    std::string asRead(std::size_t row, std::size_t column) const override {
        return edits_.table_->rows()[row].cells.at(column);
    }
    std::optional<PendingChange> place(std::size_t row, std::size_t column) const override {
        return edits_.place(row, column);
    }
    bool numeric(std::size_t column) const override { return fleetColumns()[column].numeric; }
    bool whole(std::size_t column) const override { return fleetColumns()[column].whole; }
    std::string textForFile(const PendingChange& place, const std::string& text) const override {
        const auto fields = shipFields();
        const auto field = std::find_if(fields.begin(), fields.end(),
                                        [&](const ShipField& f) { return f.field == place.field; });
        return skarvel::textForFile(*field, text, place.loaded);
    }

private:
    const FleetEdits& edits_;
};

FleetEdits::Cells FleetEdits::cells() const {
    return Cells(*this);
}

void FleetEdits::dropMounts(const std::string& shipNickname) {
    std::erase_if(mounts_, [&](const auto& mount) {
        return table_->rows()[mount.first.first].place.shipNickname == shipNickname;
    });
}

namespace {

bool isLevel(std::size_t column) {
    return column < fleetColumns().size() &&
           fleetColumns()[column].source == FleetSource::MountLevel;
}

} // namespace

bool FleetEdits::changeable(std::size_t row, std::size_t column) const {
    if (isLevel(column) && row < table_->rows().size()) {
        // The count of the sort's hardpoints stands just before its level.
        return table_->rows()[row].cells[column - 1] != "0";
    }
    return place(row, column).has_value();
}

std::vector<MountChange> FleetEdits::mountChanges() const {
    std::vector<MountChange> changes;
    for (const auto& [cell, level] : mounts_) {
        changes.push_back({table_->rows()[cell.first].place.shipNickname,
                           fleetColumns()[cell.second].mount, level});
    }
    return changes;
}

FleetEdits::LevelOutcome FleetEdits::computedLevel(std::size_t row, std::size_t column,
                                                   Operation operation,
                                                   std::string_view operand) const {
    if (!changeable(row, column)) {
        return {0, "the ship has no such special hardpoints"};
    }
    const std::string typed = trimControl(operand);
    const std::optional<double> number = readNumber(typed);
    if (!number) {
        return {0, "'" + typed + "' is not a number"};
    }
    const double current = std::stod(shown(row, column));
    const double result = operation == Operation::Set   ? *number
                          : operation == Operation::Add ? current + *number
                                                        : current * *number / 100.0;
    if (!(result >= 0.5 && result <= 10.5)) {
        return {0, "a level is 1 to 10"};
    }
    const auto level = static_cast<int>(roundHalfEven(result));
    if (level < 1 || level > 10) {
        return {0, "a level is 1 to 10"};
    }
    return {level, {}};
}

void FleetEdits::storeLevel(std::size_t row, std::size_t column, int level) {
    const auto key = std::pair{row, column};
    if (std::to_string(level) == table_->rows()[row].cells[column]) {
        mounts_.erase(key);
    } else {
        mounts_[key] = level;
    }
}

std::optional<PendingChange> FleetEdits::place(std::size_t row, std::size_t column) const {
    const auto columns = fleetColumns();
    if (row >= table_->rows().size() || column >= columns.size()) {
        return std::nullopt;
    }
    const FleetColumn& fleetColumn = columns[column];
    const FleetShip& ship = table_->rows()[row];
    if (!fleetColumn.editable || !fleetColumn.field ||
        !ship.groupFound[static_cast<std::size_t>(fleetColumn.field->group)]) {
        return std::nullopt;
    }
    const ShipField& field = *fleetColumn.field;
    // The tractor of the ship's package, not the first of the file as the Ship page reads it.
    SectionRef section =
        field.group == ShipGroup::Tractor
            ? SectionRef::withNickname(SettingsFile::MiscEquip, "Tractor", ship.place.tractorName)
            : sectionRefOf(field.group, ship.place);
    return PendingChange{std::move(section), std::string(field.key), ship.cells[column],
                         ship.cells[column], std::string(field.field)};
}

std::string FleetEdits::shown(std::size_t row, std::size_t column) const {
    if (const auto level = mounts_.find({row, column}); level != mounts_.end()) {
        return std::to_string(level->second);
    }
    return values_.shown(cells(), row, column);
}

bool FleetEdits::edited(std::size_t row, std::size_t column) const {
    if (isLevel(column)) {
        return mounts_.contains({row, column});
    }
    return values_.edited(cells(), row, column);
}

std::string FleetEdits::set(std::size_t row, std::size_t column, std::string_view typed) {
    if (isLevel(column)) {
        const LevelOutcome outcome = computedLevel(row, column, Operation::Set, typed);
        if (outcome.refusal.empty()) {
            storeLevel(row, column, outcome.level);
        }
        return outcome.refusal;
    }
    return values_.set(cells(), row, column, typed);
}

BulkChange FleetEdits::apply(const std::vector<std::size_t>& rows, std::size_t column,
                             Operation operation, std::string_view operand) {
    if (!isLevel(column)) {
        return values_.apply(cells(), rows, column, operation, operand);
    }
    // Every level first: one that cannot stand stops the whole change before any is made.
    BulkChange result;
    std::vector<std::pair<std::size_t, int>> planned;
    for (const std::size_t row : rows) {
        const std::string name = row < table_->rows().size() ? rowName(table_->rows()[row]) : "";
        LevelOutcome outcome = computedLevel(row, column, operation, operand);
        if (!changeable(row, column)) {
            result.skipped.push_back(name + ": " + outcome.refusal);
        } else if (!outcome.refusal.empty()) {
            result.refused.push_back(name + ": " + outcome.refusal);
        } else {
            planned.emplace_back(row, outcome.level);
        }
    }
    if (!result.refused.empty()) {
        return result;
    }
    for (const auto& [row, level] : planned) {
        const std::string before = shown(row, column);
        storeLevel(row, column, level);
        if (shown(row, column) == before) {
            result.unchanged.push_back(rowName(table_->rows()[row]) + ": stays " + before);
        }
    }
    return result;
}

std::vector<std::string> FleetEdits::sharing(const std::vector<std::size_t>& rows,
                                             std::size_t column) const {
    return values_.sharing(cells(), rows, column);
}

std::size_t FleetEdits::shipCount() const {
    if (empty()) {
        return 0;
    }
    // Only the columns that hold a change: a column of every ship is one of some fifty.
    std::set<std::size_t> columns;
    const auto all = fleetColumns();
    for (std::size_t column = 0; column < all.size(); ++column) {
        const bool changedField =
            all[column].field &&
            std::any_of(changes().begin(), changes().end(), [&](const PendingChange& change) {
                return change.field == all[column].field->field;
            });
        const bool changedLevel =
            std::any_of(mounts_.begin(), mounts_.end(),
                        [&](const auto& mount) { return mount.first.second == column; });
        if (changedField || changedLevel) {
            columns.insert(column);
        }
    }
    std::size_t count = 0;
    for (std::size_t row = 0; row < table_->rows().size(); ++row) {
        if (std::any_of(columns.begin(), columns.end(),
                        [&](std::size_t column) { return edited(row, column); })) {
            ++count;
        }
    }
    return count;
}

} // namespace skarvel
