#include "tables/FleetCsv.h"

#include "journal/Encoding.h"
#include "tables/CsvText.h"
#include "tables/FleetColumns.h"
#include "tables/FleetEdits.h"


namespace skarvel {

namespace {

// The text as a CSV cell holds it: UTF-8 (the ship list's names are already), numbers with a
// point, formulas escaped.
std::string cellText(const FleetColumn& column, const std::string& shown) {
    return csvCell(column.source == FleetSource::Name ? shown : fromCp1252(shown), column.numeric);
}

} // namespace

std::string fleetCsv(const FleetEdits& edits, const std::vector<std::size_t>& rows,
                     const std::vector<std::size_t>& columns, bool byteOrderMark) {
    const std::size_t nickname = fleetColumnOfKey("nickname");
    std::vector<std::size_t> order{nickname};
    for (const std::size_t column : columns) {
        if (column != nickname) {
            order.push_back(column);
        }
    }
    const auto all = fleetColumns();
    std::string text = byteOrderMark ? "\xEF\xBB\xBF" : "";
    const auto line = [&](const auto& fieldOf) {
        std::vector<std::string> fields;
        for (const std::size_t column : order) {
            fields.push_back(fieldOf(column));
        }
        text += csvLine(fields);
    };
    line([&](std::size_t column) { return all[column].key; });
    for (const std::size_t row : rows) {
        line([&](std::size_t column) { return cellText(all[column], edits.shown(row, column)); });
    }
    return text;
}

std::vector<std::vector<std::string>> parseCsv(std::string_view text, char separator) {
    std::vector<std::vector<std::string>> records;
    CsvReader reader(text, separator);
    CsvRecord record;
    while (reader.next(record)) {
        if (record.problem.empty()) {
            std::vector<std::string>& fields = records.emplace_back();
            for (std::size_t i = 0; i < record.size(); ++i) {
                fields.emplace_back(record.field(i));
            }
        }
    }
    return records;
}

} // namespace skarvel
