#include "tables/FleetColumns.h"

#include "platform/AsciiText.h"
#include "ports/Controls.h"
#include "ships/FieldLabels.h"

#include <vector>

namespace skarvel {

namespace {

std::string prefixOf(ShipGroup group) {
    switch (group) {
    case ShipGroup::Power:
        return "power.";
    case ShipGroup::Engine:
        return "engine.";
    case ShipGroup::Tractor:
        return "tractor.";
    default:
        return {};
    }
}

FleetColumn fieldColumn(const ShipField& field) {
    FleetColumn column{FleetSource::Field, prefixOf(field.group) + std::string(field.key),
                       fieldLabel(field.field), &field};
    // The nickname finds the ship's section; the list keys are free text.
    column.editable = field.field != controls::edShipNickName.name;
    column.numeric = field.singleNumber;
    // The game counts nanobots and shield batteries in whole items.
    column.whole = field.key == "nanobot_limit" || field.key == "shield_battery_limit";
    return column;
}

std::vector<FleetColumn> buildColumns() {
    std::vector<FleetColumn> columns;
    columns.push_back({FleetSource::Name, "name", "Name"});
    const auto fields = shipFields();
    const auto fieldOf = [&](std::string_view control) -> const ShipField& {
        for (const ShipField& field : fields) {
            if (field.field == control) {
                return field;
            }
        }
        return fields.front();
    };
    columns.push_back(fieldColumn(fieldOf(controls::edShipNickName)));
    columns.push_back({FleetSource::ShipKey, "type", "Type"});
    columns.push_back(fieldColumn(fieldOf(controls::edShipLevel)));
    columns.push_back({FleetSource::ShipKey, "ids_name", "IDS name"});
    for (const ShipField& field : fields) {
        if (field.field == controls::edShipNickName.name ||
            field.field == controls::edShipLevel.name) {
            continue;
        }
        if (field.group == ShipGroup::Power && columns.back().field &&
            columns.back().field->group != ShipGroup::Power) {
            columns.push_back({FleetSource::PowerName, "power.nickname", "Power plant"});
        }
        if (field.group == ShipGroup::Engine && columns.back().field &&
            columns.back().field->group != ShipGroup::Engine) {
            columns.push_back({FleetSource::EngineName, "engine.nickname", "Engine"});
        }
        columns.push_back(fieldColumn(field));
    }
    const auto derived = [&](FleetSource source, std::string key, std::string label) {
        FleetColumn column{source, std::move(key), std::move(label)};
        column.numeric = true;
        columns.push_back(std::move(column));
    };
    derived(FleetSource::EngineSpeed, "engine_speed", "Max speed");
    derived(FleetSource::ReverseSpeed, "reverse_speed", "Reverse speed");
    const auto mount = [&](MountSort sort, std::string_view name, std::string_view title) {
        FleetColumn count{FleetSource::MountCount, std::string(name) + "_hardpoints",
                          std::string(title) + " hardpoints"};
        count.mount = sort;
        count.numeric = true;
        columns.push_back(std::move(count));
        FleetColumn level{FleetSource::MountLevel, std::string(name) + "_level",
                          std::string(title) + " level"};
        level.mount = sort;
        level.numeric = true;
        columns.push_back(std::move(level));
    };
    mount(MountSort::Gun, "gun", "Gun");
    mount(MountSort::Turret, "turret", "Turret");
    mount(MountSort::Shield, "shield", "Shield");
    return columns;
}

} // namespace

std::span<const FleetColumn> fleetColumns() {
    static const std::vector<FleetColumn> columns = buildColumns();
    return columns;
}

std::string fleetHeader(const FleetColumn& column) {
    const std::string_view key = column.field ? column.field->key : std::string_view(column.key);
    return column.label + " (" + std::string(key) + ")";
}

std::size_t fleetColumnOfKey(std::string_view key) {
    const auto columns = fleetColumns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (equalsIgnoringCase(columns[i].key, key)) {
            return i;
        }
    }
    return columns.size();
}

} // namespace skarvel
