#include "tables/EquipmentExport.h"

#include "journal/Encoding.h"
#include "ships/Numbers.h"
#include "tables/CsvText.h"

#include <nlohmann/json.hpp>

namespace skarvel {

namespace {

// The game's names are UTF-8 already; the files' texts are in their code page.
std::string utf8(const EquipmentColumn& column, const std::string& text) {
    return column.source == EquipmentSource::Name ? text : fromCp1252(text);
}

} // namespace

std::string equipmentCsv(const EquipmentKind& kind, const std::vector<std::size_t>& rows,
                         const std::vector<std::size_t>& columns, const ShownCell& shown,
                         bool byteOrderMark) {
    std::vector<std::size_t> order{0}; // the nickname
    for (const std::size_t column : columns) {
        if (column != 0) {
            order.push_back(column);
        }
    }
    std::vector<std::string> fields;
    for (const std::size_t column : order) {
        fields.push_back(kind.columns[column].key);
    }
    std::string text = (byteOrderMark ? "\xEF\xBB\xBF" : "") + csvLine(fields);
    for (const std::size_t row : rows) {
        fields.clear();
        for (const std::size_t column : order) {
            const EquipmentColumn& shownColumn = kind.columns[column];
            fields.push_back(csvCell(utf8(shownColumn, shown(row, column)), shownColumn.numeric));
        }
        text += csvLine(fields);
    }
    return text;
}

std::string equipmentCsv(const EquipmentKind& kind) {
    std::vector<std::size_t> rows(kind.rows.size());
    std::vector<std::size_t> columns(kind.columns.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = i;
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        columns[i] = i;
    }
    return equipmentCsv(kind, rows, columns, [&kind](std::size_t row, std::size_t column) {
        return kind.rows[row].cells[column];
    });
}

std::string equipmentJson(const EquipmentKind& kind) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const EquipmentRow& row : kind.rows) {
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        for (std::size_t c = 0; c < kind.columns.size(); ++c) {
            const EquipmentColumn& column = kind.columns[c];
            const std::string& cell = row.cells[c];
            if (cell.empty()) {
                object[column.key] = nullptr;
            } else if (column.source == EquipmentSource::Derived) {
                object[column.key] = readNumber(cell).value_or(0);
            } else {
                object[column.key] = utf8(column, cell);
            }
        }
        rows.push_back(std::move(object));
    }
    return rows.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace skarvel
