#include "tables/Comparison.h"

#include "ships/Numbers.h"
#include "tables/EquipmentDerived.h"

#include <optional>

namespace skarvel {

std::vector<ComparedColumn> comparePinned(const std::vector<std::string>& keys,
                                          const std::vector<bool>& numeric,
                                          const std::vector<std::vector<std::string>>& rows) {
    std::vector<ComparedColumn> columns;
    for (std::size_t c = 0; c < keys.size(); ++c) {
        ComparedColumn column{keys[c], {}, {}, {}, false};
        const std::string& first = rows.empty() ? std::string() : rows.front().at(c);
        const std::optional<double> base = numeric[c] ? readNumber(first) : std::nullopt;
        for (const std::vector<std::string>& row : rows) {
            const std::string& value = row.at(c);
            bool differs = value != first;
            std::string difference;
            if (differs && base) {
                // A number differs by its value ("3,5" is 3.5), not by its spelling.
                if (const std::optional<double> number = readNumber(value)) {
                    const double delta = *number - *base;
                    differs = delta != 0;
                    difference = differs ? (delta > 0 ? "+" : "") + derivedText(delta) : "";
                }
            }
            column.values.push_back(value);
            column.differs.push_back(differs);
            column.difference.push_back(std::move(difference));
            column.anyDifference = column.anyDifference || differs;
        }
        columns.push_back(std::move(column));
    }
    return columns;
}

} // namespace skarvel
