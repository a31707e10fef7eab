#include "check/Mounting.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <array>

namespace skarvel::check {

namespace {

// The kinds of equipment that mount on a typed hardpoint, and the key that gives the type.
struct TypedKind {
    std::string_view kind;
    std::string_view key;
};
constexpr auto kTypedKinds = std::to_array<TypedKind>({
    {"Gun", "hp_gun_type"},
    {"MissileLauncher", "hp_gun_type"},
    {"MineDropper", "hp_gun_type"},
    {"MineDropper", "hp_type"},
    {"CounterMeasureDropper", "hp_type"},
    {"ShieldGenerator", "hp_type"},
    {"Thruster", "hp_type"},
    {"CloakingDevice", "hp_type"},
    {"Tractor", "hp_type"},
});

} // namespace

std::string hardpointTypeOf(const Definition& equipment) {
    const std::string_view kind = sectionKind(equipment.ini().name(*equipment.section));
    for (const TypedKind& typed : kTypedKinds) {
        if (equalsIgnoringCase(kind, typed.kind)) {
            if (std::string type = equipment.value(typed.key); !type.empty()) {
                return type;
            }
        }
    }
    return {};
}

bool namesHardpoint(std::string_view hardpoint) {
    return !hardpoint.empty() && !equalsIgnoringCase(hardpoint, "internal");
}

ShipHardpoints::ShipHardpoints(const Definition& ship) {
    for (const auto* line : ship.keys("hp_type")) {
        const auto items = listItems(ship.ini().value(*line));
        for (std::size_t i = 1; i < items.size(); ++i) {
            types_[lowered(items[i])].push_back(lowered(items[0]));
        }
    }
}

bool ShipHardpoints::has(std::string_view hardpoint) const {
    return types_.contains(lowered(hardpoint));
}

bool ShipHardpoints::takes(std::string_view hardpoint, std::string_view type) const {
    const auto found = types_.find(lowered(hardpoint));
    return found != types_.end() &&
           std::ranges::find(found->second, lowered(type)) != found->second.end();
}

} // namespace skarvel::check
