#include "tables/FleetReview.h"

#include "ships/ShipCatalogue.h"
#include "tables/FleetColumns.h"
#include "tables/FleetEdits.h"
#include "tables/FleetTable.h"

#include <algorithm>

namespace skarvel {

std::vector<std::string> changedShipNames(const FleetEdits& edits) {
    if (edits.empty()) {
        return {};
    }
    // Only the columns that hold a change, as shipCount counts them: a column of every ship
    // is one of some fifty.
    const auto columns = fleetColumns();
    const bool mountsChange = !edits.mountChanges().empty();
    std::vector<std::size_t> changed;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        const FleetColumn& shown = columns[column];
        const bool changedField =
            shown.field && std::ranges::any_of(edits.changes(), [&](const PendingChange& change) {
                return change.field == shown.field->field;
            });
        if (changedField || (mountsChange && shown.source == FleetSource::MountLevel)) {
            changed.push_back(column);
        }
    }
    std::vector<std::string> names;
    const auto& rows = edits.table().rows();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (std::ranges::any_of(changed,
                                [&](std::size_t column) { return edits.edited(row, column); })) {
            const FleetShip& ship = rows[row];
            const bool named = !ship.name.empty() && ship.name != kUnknownShipName;
            names.push_back(named ? ship.name : ship.place.shipNickname);
        }
    }
    return names;
}

std::string listOfNames(const std::vector<std::string>& names, std::size_t most) {
    std::string list;
    const std::size_t listed = std::min(names.size(), most);
    for (std::size_t i = 0; i < listed; ++i) {
        list += (i == 0 ? "" : ", ") + names[i];
    }
    if (listed < names.size()) {
        list += " and " + std::to_string(names.size() - listed) + " more";
    }
    return list;
}

std::string changedShipsLine(const FleetEdits& edits) {
    const std::string list = listOfNames(changedShipNames(edits));
    return list.empty() ? list : list + "\n";
}

} // namespace skarvel
