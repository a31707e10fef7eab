#include "tables/FleetEdits.h"

#include "gamedata/TextParts.h"
#include "platform/AsciiText.h"
#include "ships/Numbers.h"
#include "ships/ShipFields.h"
#include "ships/ShipPlaces.h"
#include "tables/FleetColumns.h"
#include "tables/FleetTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

namespace skarvel {

namespace {

std::string rowName(const FleetShip& ship) {
    return ship.name.empty() ? ship.place.shipNickname : ship.name;
}

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), lowerAscii);
    return result;
}

} // namespace

std::string roundedText(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = static_cast<double>(roundHalfEven(value * scale)) / scale;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, rounded);
    std::string text = buffer;
    return text == "-0" ? "0" : text;
}

void FleetEdits::reset(const FleetTable& table) {
    table_ = &table;
    clear();
}

void FleetEdits::clear() {
    changes_.clear();
    index_.clear();
    mounts_.clear();
}

void FleetEdits::drop(const PendingChange& change) {
    const auto found = index_.find(targetKey(change));
    if (found == index_.end()) {
        return;
    }
    changes_.erase(changes_.begin() + static_cast<std::ptrdiff_t>(found->second));
    index_.clear();
    for (std::size_t i = 0; i < changes_.size(); ++i) {
        index_[targetKey(changes_[i])] = i;
    }
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

std::string FleetEdits::setLevel(std::size_t row, std::size_t column, Operation operation,
                                 std::string_view operand) {
    if (!changeable(row, column)) {
        return "the ship has no such special hardpoints";
    }
    const std::optional<double> number = readNumber(trimControl(operand));
    if (!number) {
        return "'" + trimControl(operand) + "' is not a number";
    }
    const double current = std::stod(shown(row, column));
    const double result = operation == Operation::Set   ? *number
                          : operation == Operation::Add ? current + *number
                                                        : current * *number / 100.0;
    const auto level = roundHalfEven(result);
    if (level < 1 || level > 10) {
        return "a level is 1 to 10";
    }
    const auto key = std::pair{row, column};
    if (std::to_string(level) == table_->rows()[row].cells[column]) {
        mounts_.erase(key);
    } else {
        mounts_[key] = static_cast<int>(level);
    }
    return {};
}

std::string FleetEdits::targetKey(const PendingChange& change) {
    const SectionRef& ref = change.section;
    return std::to_string(static_cast<int>(ref.file)) + '\n' + ref.kind + '\n' + ref.nickname +
           '\n' + (ref.byNickname ? "1" : "0") + '\n' + lowered(change.key);
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
    return PendingChange{sectionRefOf(field.group, ship.place), std::string(field.key),
                         ship.cells[column], ship.cells[column], std::string(field.field)};
}

std::string FleetEdits::shown(std::size_t row, std::size_t column) const {
    if (empty() && row < table_->rows().size()) {
        return table_->rows()[row].cells.at(column);
    }
    if (const auto level = mounts_.find({row, column}); level != mounts_.end()) {
        return std::to_string(level->second);
    }
    if (const auto cell = place(row, column)) {
        if (const auto found = index_.find(targetKey(*cell)); found != index_.end()) {
            return changes_[found->second].value;
        }
    }
    return row < table_->rows().size() ? table_->rows()[row].cells.at(column) : std::string();
}

bool FleetEdits::edited(std::size_t row, std::size_t column) const {
    if (empty()) {
        return false;
    }
    if (isLevel(column)) {
        return mounts_.contains({row, column});
    }
    const auto cell = place(row, column);
    return cell && index_.contains(targetKey(*cell));
}

FleetEdits::Outcome FleetEdits::computed(std::size_t row, std::size_t column, Operation operation,
                                         std::string_view operand) const {
    const FleetColumn& fleetColumn = fleetColumns()[column];
    const std::string typed = trimControl(operand);
    if (!fleetColumn.numeric) {
        if (operation != Operation::Set) {
            return {{}, "only a number can be added to or multiplied"};
        }
        if (typed.empty()) {
            return {{}, "an empty value writes nothing"};
        }
        if (typed.find_first_of("\r\n") != std::string::npos) {
            return {{}, "a value is one line"};
        }
        return {typed, {}};
    }
    const std::optional<double> number = readNumber(typed);
    if (!number) {
        return {{}, "'" + typed + "' is not a number"};
    }
    double result = *number;
    if (operation != Operation::Set) {
        const std::optional<double> current = readNumber(shown(row, column));
        if (!current) {
            return {{}, "the value '" + shown(row, column) + "' is not a number"};
        }
        result = operation == Operation::Add ? *current + *number : *current * *number / 100.0;
    }
    return {roundedText(result, table_->decimals(column)), {}};
}

std::string FleetEdits::store(const PendingChange& cell, std::string text) {
    const auto fields = shipFields();
    const auto field = std::find_if(fields.begin(), fields.end(),
                                    [&](const ShipField& f) { return f.field == cell.field; });
    PendingChange change = cell;
    change.value = textForFile(*field, text, cell.loaded);
    const std::string key = targetKey(change);
    const auto found = index_.find(key);
    if (change.value == change.loaded) {
        if (found != index_.end()) {
            // Back to the value read: no change pending.
            const std::size_t at = found->second;
            changes_.erase(changes_.begin() + static_cast<std::ptrdiff_t>(at));
            index_.erase(found);
            for (auto& [other, position] : index_) {
                position -= position > at ? 1 : 0;
            }
        }
        return {};
    }
    if (found != index_.end()) {
        changes_[found->second].value = change.value;
    } else {
        index_.emplace(key, changes_.size());
        changes_.push_back(std::move(change));
    }
    return {};
}

std::string FleetEdits::set(std::size_t row, std::size_t column, std::string_view typed) {
    if (isLevel(column)) {
        return setLevel(row, column, Operation::Set, typed);
    }
    const auto cell = place(row, column);
    if (!cell) {
        return "This value cannot be changed here.";
    }
    Outcome outcome = computed(row, column, Operation::Set, typed);
    if (!outcome.refusal.empty()) {
        return outcome.refusal;
    }
    return store(*cell, std::move(outcome.text));
}

std::string FleetEdits::apply(const std::vector<std::size_t>& rows, std::size_t column,
                              Operation operation, std::string_view operand) {
    std::string refusals;
    std::set<std::string> done; // each section's value once
    for (const std::size_t row : rows) {
        const auto cell = place(row, column);
        const std::string name = row < table_->rows().size() ? rowName(table_->rows()[row]) : "";
        if (isLevel(column)) {
            if (const std::string refusal = setLevel(row, column, operation, operand);
                !refusal.empty()) {
                refusals += (refusals.empty() ? "" : "\n") + name + ": " + refusal;
            }
            continue;
        }
        if (!cell) {
            refusals += (refusals.empty() ? "" : "\n") + name + ": this value cannot be changed";
            continue;
        }
        if (!done.insert(targetKey(*cell)).second) {
            continue;
        }
        Outcome outcome = computed(row, column, operation, operand);
        if (!outcome.refusal.empty()) {
            refusals += (refusals.empty() ? "" : "\n") + name + ": " + outcome.refusal;
            continue;
        }
        store(*cell, std::move(outcome.text));
    }
    return refusals;
}

std::vector<std::string> FleetEdits::sharing(const std::vector<std::size_t>& rows,
                                             std::size_t column) const {
    std::set<std::string> targets;
    for (const std::size_t row : rows) {
        if (const auto cell = place(row, column)) {
            targets.insert(targetKey(*cell));
        }
    }
    std::vector<std::string> names;
    for (std::size_t row = 0; row < table_->rows().size(); ++row) {
        if (std::find(rows.begin(), rows.end(), row) != rows.end()) {
            continue;
        }
        const auto cell = place(row, column);
        if (cell && targets.contains(targetKey(*cell))) {
            names.push_back(rowName(table_->rows()[row]));
        }
    }
    return names;
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
            std::any_of(changes_.begin(), changes_.end(), [&](const PendingChange& change) {
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
