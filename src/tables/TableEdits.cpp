#include "tables/TableEdits.h"

#include "gamedata/TextParts.h"
#include "platform/AsciiText.h"
#include "ships/Numbers.h"
#include "tables/CellNumbers.h"

#include <algorithm>
#include <set>

namespace skarvel {

namespace {

// Longer than any line of the game's files holds.
constexpr std::size_t kLongestText = 1000;

} // namespace

void TableEdits::clear() {
    changes_.clear();
    index_.clear();
}

void TableEdits::drop(const PendingChange& change) {
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

std::string TableEdits::targetKey(const PendingChange& change) {
    const SectionRef& ref = change.section;
    return std::to_string(static_cast<int>(ref.file)) + '\n' + lowerAsciiCopy(ref.path) + '\n' +
           ref.kind + '\n' + lowerAsciiCopy(ref.nickname) + '\n' + (ref.byNickname ? "1" : "0") +
           '\n' + lowerAsciiCopy(change.key);
}

std::string TableEdits::shown(const TableCells& cells, std::size_t row, std::size_t column) const {
    if (!changes_.empty() && row < cells.rowCount()) {
        if (const auto cell = cells.place(row, column)) {
            if (const std::string* value = pending(*cell)) {
                return *value;
            }
        }
    }
    return row < cells.rowCount() ? cells.asRead(row, column) : std::string();
}

const std::string* TableEdits::pending(const PendingChange& place) const {
    const auto found = index_.find(targetKey(place));
    return found == index_.end() ? nullptr : &changes_[found->second].value;
}

bool TableEdits::edited(const TableCells& cells, std::size_t row, std::size_t column) const {
    if (changes_.empty()) {
        return false;
    }
    const auto cell = cells.place(row, column);
    return cell && index_.contains(targetKey(*cell));
}

TableEdits::Outcome TableEdits::computed(const TableCells& cells, std::size_t row,
                                         std::size_t column, TableOperation operation,
                                         std::string_view operand) const {
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
    if (!cells.numeric(column)) {
        if (operation != TableOperation::Set) {
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
    const NumberKind kind = cells.whole(column) ? NumberKind::Whole : NumberKind::Decimal;
    std::string text;
    if (operation == TableOperation::Set) {
        if (std::string refusal = numberRefusal(kind, *number, typed); !refusal.empty()) {
            return {{}, std::move(refusal)};
        }
        text = setNumberText(kind, *number, typed);
    } else {
        if (std::string refusal = numberRefusal(NumberKind::Decimal, *number, typed);
            !refusal.empty()) {
            return {{}, std::move(refusal)};
        }
        const std::string currentText = shown(cells, row, column);
        const std::optional<double> current = readNumber(currentText);
        if (!current) {
            return {{}, "the value '" + currentText + "' is not a number"};
        }
        if (std::string refusal = numberRefusal(kind, *current, currentText); !refusal.empty()) {
            return {{}, "the value " + refusal};
        }
        text = operation == TableOperation::Add
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

void TableEdits::store(const TableCells& cells, const PendingChange& cell, std::string text) {
    PendingChange change = cell;
    change.value = cells.textForFile(cell, text);
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
        return;
    }
    if (found != index_.end()) {
        changes_[found->second].value = change.value;
    } else {
        index_.emplace(key, changes_.size());
        changes_.push_back(std::move(change));
    }
}

std::string TableEdits::set(const TableCells& cells, std::size_t row, std::size_t column,
                            std::string_view typed) {
    const auto cell = cells.place(row, column);
    if (!cell) {
        return "This value cannot be changed here.";
    }
    Outcome outcome = computed(cells, row, column, TableOperation::Set, typed);
    if (outcome.refusal.empty()) {
        store(cells, *cell, std::move(outcome.text));
    }
    return outcome.refusal;
}

BulkChange TableEdits::apply(const TableCells& cells, const std::vector<std::size_t>& rows,
                             std::size_t column, TableOperation operation,
                             std::string_view operand) {
    // Every value first: one the key cannot hold stops the whole change before any is made.
    struct Planned {
        std::size_t row;
        PendingChange cell;
        std::string text;
    };
    BulkChange result;
    std::vector<Planned> planned;
    std::set<std::string> done; // each section's value once
    for (const std::size_t row : rows) {
        const std::string name = row < cells.rowCount() ? cells.rowName(row) : "";
        auto cell = cells.place(row, column);
        if (!cell) {
            result.skipped.push_back(name + ": this value cannot be changed");
            continue;
        }
        if (!done.insert(targetKey(*cell)).second) {
            continue;
        }
        if (operation != TableOperation::Set && shown(cells, row, column).empty()) {
            result.skipped.push_back(name + ": there is no value to change");
            continue;
        }
        Outcome outcome = computed(cells, row, column, operation, operand);
        if (!outcome.refusal.empty()) {
            result.refused.push_back(name + ": " + outcome.refusal);
            continue;
        }
        planned.push_back({row, std::move(*cell), std::move(outcome.text)});
    }
    if (!result.refused.empty()) {
        return result;
    }
    for (Planned& step : planned) {
        const std::string before = shown(cells, step.row, column);
        store(cells, step.cell, std::move(step.text));
        if (shown(cells, step.row, column) == before) {
            result.unchanged.push_back(cells.rowName(step.row) + ": stays " + before);
        }
    }
    return result;
}

std::vector<std::string> TableEdits::sharing(const TableCells& cells,
                                             const std::vector<std::size_t>& rows,
                                             std::size_t column) const {
    std::set<std::string> targets;
    for (const std::size_t row : rows) {
        if (const auto cell = cells.place(row, column)) {
            targets.insert(targetKey(*cell));
        }
    }
    std::vector<std::string> names;
    const std::set<std::size_t> chosen(rows.begin(), rows.end());
    for (std::size_t row = 0; row < cells.rowCount(); ++row) {
        if (chosen.contains(row)) {
            continue;
        }
        const auto cell = cells.place(row, column);
        if (cell && targets.contains(targetKey(*cell))) {
            names.push_back(cells.rowName(row));
        }
    }
    return names;
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

} // namespace skarvel
