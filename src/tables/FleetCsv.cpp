#include "tables/FleetCsv.h"

#include "journal/Encoding.h"
#include "ships/Numbers.h"
#include "tables/FleetColumns.h"
#include "tables/FleetEdits.h"
#include "tables/FleetTable.h"

#include <algorithm>
#include <unordered_map>

namespace skarvel {

namespace {

std::string quoted(std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(field);
    }
    std::string text = "\"";
    for (const char c : field) {
        text += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return text + "\"";
}

const std::size_t kNickname = fleetColumnOfKey("nickname");

// The text as a CSV cell holds it: UTF-8, numbers with a point.
std::string cellText(const FleetColumn& column, const std::string& shown) {
    if (column.source == FleetSource::Name) {
        return shown; // the ship list's names are UTF-8 already
    }
    std::string text = fromCp1252(shown);
    if (column.numeric && readNumber(text)) {
        std::replace(text.begin(), text.end(), ',', '.');
    }
    return text;
}

bool sameValue(const FleetColumn& column, const std::string& shown, const std::string& cell) {
    if (column.numeric) {
        const auto a = readNumber(shown);
        const auto b = readNumber(cell);
        if (a && b) {
            return *a == *b;
        }
    }
    return shown == cell;
}

} // namespace

std::string fleetCsv(const FleetEdits& edits, const std::vector<std::size_t>& rows,
                     const std::vector<std::size_t>& columns) {
    std::vector<std::size_t> order{kNickname};
    for (const std::size_t column : columns) {
        if (column != kNickname) {
            order.push_back(column);
        }
    }
    const auto all = fleetColumns();
    std::string text;
    const auto line = [&](const auto& fieldOf) {
        for (std::size_t i = 0; i < order.size(); ++i) {
            text += (i == 0 ? "" : ",") + quoted(fieldOf(order[i]));
        }
        text += "\r\n";
    };
    line([&](std::size_t column) { return all[column].key; });
    for (const std::size_t row : rows) {
        line([&](std::size_t column) { return cellText(all[column], edits.shown(row, column)); });
    }
    return text;
}

std::vector<std::vector<std::string>> parseCsv(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool inQuotes = false;
    bool any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                field += c;
            }
            continue;
        }
        any = true;
        if (c == '"') {
            inQuotes = true;
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            record.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(record));
            record.clear();
            any = false;
        } else {
            field += c;
        }
    }
    if (any || !field.empty() || !record.empty()) {
        record.push_back(std::move(field));
        records.push_back(std::move(record));
    }
    return records;
}

FleetImport importFleetCsv(FleetEdits& edits, std::string_view csv) {
    FleetImport result;
    const std::vector<std::vector<std::string>> records = parseCsv(csv);
    if (records.empty()) {
        result.problems.push_back("The file holds no header row.");
        return result;
    }
    const auto all = fleetColumns();
    std::vector<std::size_t> columns;
    std::size_t nicknameAt = records.front().size();
    for (std::size_t i = 0; i < records.front().size(); ++i) {
        const std::string& key = records.front()[i];
        const std::size_t column = fleetColumnOfKey(key);
        if (column == all.size()) {
            result.problems.push_back("Unknown column: " + key);
        } else if (column == kNickname) {
            nicknameAt = i;
        }
        columns.push_back(column);
    }
    if (nicknameAt == records.front().size()) {
        result.problems.push_back("The file has no nickname column, so no row can be matched.");
        return result;
    }
    std::unordered_map<std::string, std::size_t> rowOf;
    const FleetTable& table = edits.table();
    for (std::size_t row = 0; row < table.rows().size(); ++row) {
        rowOf.try_emplace(table.rows()[row].place.shipNickname, row);
    }
    for (std::size_t r = 1; r < records.size(); ++r) {
        const std::vector<std::string>& record = records[r];
        if (record.size() == 1 && record.front().empty()) {
            continue; // a blank line
        }
        const std::string nickname = nicknameAt < record.size() ? toCp1252(record[nicknameAt]) : "";
        const auto found = rowOf.find(nickname);
        if (found == rowOf.end()) {
            result.problems.push_back("Unknown nickname: " +
                                      record[nicknameAt < record.size() ? nicknameAt : 0]);
            continue;
        }
        const std::size_t row = found->second;
        for (std::size_t i = 0; i < record.size() && i < columns.size(); ++i) {
            const std::size_t column = columns[i];
            if (column == all.size() || column == kNickname || record[i].empty()) {
                continue;
            }
            const FleetColumn& fleetColumn = all[column];
            const std::string value =
                fleetColumn.source == FleetSource::Name ? record[i] : toCp1252(record[i]);
            if (sameValue(fleetColumn, edits.shown(row, column), value)) {
                continue;
            }
            if (!edits.place(row, column)) {
                result.problems.push_back(nickname + " " + fleetColumn.key +
                                          ": this value cannot be changed");
                continue;
            }
            if (const std::string refusal = edits.set(row, column, value); !refusal.empty()) {
                result.problems.push_back(nickname + " " + fleetColumn.key + ": " + refusal);
                continue;
            }
            ++result.changed;
        }
    }
    return result;
}

} // namespace skarvel
