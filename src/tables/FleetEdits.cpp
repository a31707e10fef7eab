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

// Longer than any line of the game's files holds.
constexpr std::size_t kLongestText = 1000;

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), lowerAscii);
    return result;
}

} // namespace

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
    // The tractor of the ship's package, not the first of the file as the Ship page reads it.
    SectionRef section =
        field.group == ShipGroup::Tractor
            ? SectionRef::withNickname(SettingsFile::MiscEquip, "Tractor", ship.place.tractorName)
            : sectionRefOf(field.group, ship.place);
    return PendingChange{std::move(section), std::string(field.key), ship.cells[column],
                         ship.cells[column], std::string(field.field)};
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
    if (typed.find('\0') != std::string::npos) {
        return {{}, "a value cannot hold a NUL byte"};
    }
    if (typed.find(';') != std::string::npos) {
        return {{}, "a value cannot hold ';' (it starts a comment in the game's files)"};
    }
    if (typed.find_first_of("\r\n") != std::string::npos) {
        return {{}, "a value is one line"};
    }
    if (!fleetColumn.numeric) {
        if (operation != Operation::Set) {
            return {{}, "only a number can be added to or multiplied"};
        }
        if (typed.empty()) {
            return {{}, "an empty value writes nothing"};
        }
        if (typed.size() > kLongestText) {
            return {{}, "a value is at most " + std::to_string(kLongestText) + " characters"};
        }
        return {typed, {}};
    }
    const std::optional<double> number = readNumber(typed);
    if (!number) {
        return {{}, "'" + typed + "' is not a number"};
    }
    const NumberKind kind = fleetColumn.whole ? NumberKind::Whole : NumberKind::Decimal;
    std::string text;
    if (operation == Operation::Set) {
        if (std::string refusal = numberRefusal(kind, *number, typed); !refusal.empty()) {
            return {{}, std::move(refusal)};
        }
        text = setNumberText(kind, *number, typed);
    } else {
        if (std::string refusal = numberRefusal(NumberKind::Decimal, *number, typed);
            !refusal.empty()) {
            return {{}, std::move(refusal)};
        }
        const std::string currentText = shown(row, column);
        const std::optional<double> current = readNumber(currentText);
        if (!current) {
            return {{}, "the value '" + currentText + "' is not a number"};
        }
        if (std::string refusal = numberRefusal(kind, *current, currentText); !refusal.empty()) {
            return {{}, "the value " + refusal};
        }
        text = operation == Operation::Add
                   ? addedNumberText(kind, *current, currentText, *number, typed)
                   : percentNumberText(kind, *current, currentText, *number, typed);
    }
    const std::optional<double> result = readNumber(text);
    if (!result) {
        return {{}, "the result is not a finite number"};
    }
    if (std::string refusal = numberRefusal(kind, *result, text); !refusal.empty()) {
        return {{}, "the result " + refusal};
    }
    return {std::move(text), {}};
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
        const LevelOutcome outcome = computedLevel(row, column, Operation::Set, typed);
        if (outcome.refusal.empty()) {
            storeLevel(row, column, outcome.level);
        }
        return outcome.refusal;
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

BulkChange FleetEdits::apply(const std::vector<std::size_t>& rows, std::size_t column,
                             Operation operation, std::string_view operand) {
    // Every value first: one the key cannot hold stops the whole change before any is made.
    struct Planned {
        std::size_t row;
        std::optional<PendingChange> cell;
        std::string text;
        int level = 0;
    };
    BulkChange result;
    std::vector<Planned> planned;
    std::set<std::string> done; // each section's value once
    for (const std::size_t row : rows) {
        const std::string name = row < table_->rows().size() ? rowName(table_->rows()[row]) : "";
        if (isLevel(column)) {
            LevelOutcome outcome = computedLevel(row, column, operation, operand);
            if (!changeable(row, column)) {
                result.skipped.push_back(name + ": " + outcome.refusal);
            } else if (!outcome.refusal.empty()) {
                result.refused.push_back(name + ": " + outcome.refusal);
            } else {
                planned.push_back({row, std::nullopt, {}, outcome.level});
            }
            continue;
        }
        auto cell = place(row, column);
        if (!cell) {
            result.skipped.push_back(name + ": this value cannot be changed");
            continue;
        }
        if (!done.insert(targetKey(*cell)).second) {
            continue;
        }
        if (operation != Operation::Set && shown(row, column).empty()) {
            result.skipped.push_back(name + ": there is no value to change");
            continue;
        }
        Outcome outcome = computed(row, column, operation, operand);
        if (!outcome.refusal.empty()) {
            result.refused.push_back(name + ": " + outcome.refusal);
            continue;
        }
        planned.push_back({row, std::move(cell), std::move(outcome.text)});
    }
    if (!result.refused.empty()) {
        return result;
    }
    for (Planned& step : planned) {
        const std::string before = shown(step.row, column);
        if (step.cell) {
            store(*step.cell, std::move(step.text));
        } else {
            storeLevel(step.row, column, step.level);
        }
        if (shown(step.row, column) == before) {
            result.unchanged.push_back(rowName(table_->rows()[step.row]) + ": stays " + before);
        }
    }
    return result;
}

std::string bulkChangeMessage(const BulkChange& change) {
    const auto lines = [](const std::vector<std::string>& list) {
        std::string text;
        for (const std::string& line : list) {
            text += "\n\r" + line;
        }
        return text;
    };
    if (!change.refused.empty()) {
        return "Nothing was changed: these cells cannot take the value." + lines(change.refused) +
               (change.skipped.empty() ? ""
                                       : "\n\rThese cells take no change:" + lines(change.skipped));
    }
    std::string text;
    if (!change.skipped.empty()) {
        text = "These cells were left as they are:" + lines(change.skipped);
    }
    if (!change.unchanged.empty()) {
        text += std::string(text.empty() ? "" : "\n\r") +
                "The change leaves these cells as they were:" + lines(change.unchanged);
    }
    return text;
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
