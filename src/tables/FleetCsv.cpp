#include "tables/FleetCsv.h"

#include "journal/Encoding.h"
#include "tables/CsvText.h"
#include "tables/FleetColumns.h"
#include "tables/FleetEdits.h"
#include "tables/FleetTable.h"

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

namespace {

// The Fleet table as an import reads it.
class FleetImportTarget final : public CsvImportTarget {
public:
    explicit FleetImportTarget(FleetEdits& edits) : edits_(edits) {}

    std::size_t columnCount() const override { return fleetColumns().size(); }
    std::string columnKey(std::size_t column) const override { return fleetColumns()[column].key; }
    std::size_t columnOfKey(std::string_view key) const override { return fleetColumnOfKey(key); }
    bool numeric(std::size_t column) const override { return fleetColumns()[column].numeric; }
    bool utf8(std::size_t column) const override {
        return fleetColumns()[column].source == FleetSource::Name;
    }
    std::size_t rowCount() const override { return edits_.table().rows().size(); }
    std::string rowNickname(std::size_t row) const override {
        return edits_.table().rows()[row].place.shipNickname;
    }
    std::string asRead(std::size_t row, std::size_t column) const override {
        return edits_.table().rows()[row].cells[column];
    }
    std::string target(std::size_t row, std::size_t column) const override {
        if (fleetColumns()[column].source == FleetSource::MountLevel) {
            return "level\n" + std::to_string(row) + "\n" + std::to_string(column);
        }
        const auto place = edits_.place(row, column);
        return place ? TableEdits::targetKey(*place) : std::string();
    }
    std::string sectionOf(std::size_t row, std::size_t column) const override {
        const auto place = edits_.place(row, column);
        return place ? "[" + place->section.kind + "] " + place->section.nickname : std::string();
    }
    std::string shown(std::size_t row, std::size_t column) const override {
        return edits_.shown(row, column);
    }
    std::string set(std::size_t row, std::size_t column, const std::string& value) override {
        return edits_.set(row, column, value);
    }

private:
    FleetEdits& edits_;
};

} // namespace

FleetImport importFleetCsv(FleetEdits& edits, std::string_view csv,
                           const std::function<void(const std::string&)>& onProblem) {
    FleetImportTarget target(edits);
    return importTableCsv(target, csv, onProblem);
}

} // namespace skarvel
