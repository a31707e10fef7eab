#include "app/FleetModel.h"

#include "tables/FleetColumns.h"
#include "tables/FleetCommands.h"

namespace skarvel {

namespace {

const FleetColumn& columnAt(int column) {
    return fleetColumns()[static_cast<std::size_t>(column)];
}

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

} // namespace

int FleetTableSource::rowCount() const {
    return static_cast<int>(fleet_.table().rows().size());
}

int FleetTableSource::columnCount() const {
    return static_cast<int>(fleetColumns().size());
}

QString FleetTableSource::header(int column) const {
    const std::string text = fleetHeader(columnAt(column));
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool FleetTableSource::numeric(int column) const {
    return columnAt(column).numeric;
}

bool FleetTableSource::utf8(int column) const {
    // The ship list's names are UTF-8.
    return columnAt(column).source == FleetSource::Name;
}

std::string FleetTableSource::shown(int row, int column) const {
    return fleet_.edits().shown(at(row), at(column));
}

std::string FleetTableSource::asRead(int row, int column) const {
    return fleet_.table().rows()[at(row)].cells[at(column)];
}

bool FleetTableSource::edited(int row, int column) const {
    return fleet_.edits().edited(at(row), at(column));
}

bool FleetTableSource::changeable(int row, int column) const {
    return fleet_.edits().changeable(at(row), at(column));
}

std::string FleetTableSource::set(int row, int column, const std::string& typed) {
    return fleet_.edits().set(at(row), at(column), typed);
}

QString FleetTableSource::linkTip(int column) const {
    return columnAt(column).source == FleetSource::Name
               ? QStringLiteral("Click to open this ship on the Ship page")
               : QString();
}

std::vector<int> FleetTableSource::filterColumns() {
    return {static_cast<int>(fleetColumnOfKey("name")),
            static_cast<int>(fleetColumnOfKey("nickname")),
            static_cast<int>(fleetColumnOfKey("type")),
            static_cast<int>(fleetColumnOfKey("ship_class"))};
}

} // namespace skarvel
