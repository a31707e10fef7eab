// The rule on the values the editor shows as numbers.
#include "check/RuleFunctions.h"
#include "platform/AsciiText.h"
#include "ships/Numbers.h"
#include "ships/ShipFields.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace skarvel::check::rule {

namespace {

// Keys whose value below zero breaks the ship; zeroDivides: a derived value divides by it
// (engine speed = max_force / linear_drag).
struct SignRule {
    ShipGroup group;
    std::string_view key;
    bool zeroDivides;
};
constexpr auto kSignRules = std::to_array<SignRule>({
    {ShipGroup::Ship, "hit_pts", false},
    {ShipGroup::Ship, "hold_size", false},
    {ShipGroup::Ship, "mass", false},
    {ShipGroup::Extended, "linear_drag", false},
    {ShipGroup::Power, "mass", false},
    {ShipGroup::Engine, "max_force", false},
    {ShipGroup::Engine, "linear_drag", true},
});

// The sections a group of the field table is read from.
std::vector<const Definition*> sectionsOf(ShipGroup group, const ModIndex& index) {
    std::vector<const Definition*> found;
    auto take = [&found](const NameTable& table, auto wanted) {
        for (const Definition& definition : table.all()) {
            if (wanted(definition)) {
                found.push_back(&definition);
            }
        }
    };
    auto ofKind = [](std::string_view kind) {
        return [kind](const Definition& item) {
            return equalsIgnoringCase(sectionKind(item.ini().name(*item.section)), kind);
        };
    };
    switch (group) {
    case ShipGroup::Ship:
    case ShipGroup::Extended:
    case ShipGroup::Handling:
        take(index.ships, [](const Definition&) { return true; });
        break;
    case ShipGroup::Hull:
        take(index.goods, [](const Definition& good) { return hasCategory(good, "shiphull"); });
        break;
    case ShipGroup::Tractor:
        take(index.equipment, ofKind("Tractor"));
        break;
    case ShipGroup::Power:
        take(index.equipment, ofKind("Power"));
        break;
    case ShipGroup::Engine:
        take(index.equipment, ofKind("Engine"));
        break;
    }
    return found;
}

bool hasNoDrag(const Definition& ship) {
    const std::optional<double> drag = readNumber(ship.value("linear_drag"));
    return !drag || *drag == 0;
}

// The equipment that ships without a drag of their own carry, through their packages and
// loadouts: the game adds the ship's drag to the engine's.
std::unordered_set<std::string> carriedByDraglessShips(const ModIndex& index) {
    std::unordered_set<std::string> carried;
    auto carry = [&](const Definition& holder, const Definition* ship, std::string_view key) {
        if (!ship || !hasNoDrag(*ship)) {
            return;
        }
        for (const auto* line : holder.keys(key)) {
            carried.insert(lowered(listItems(holder.ini().value(*line)).front()));
        }
    };
    for (const Definition& package : index.goods.all()) {
        if (hasCategory(package, "ship")) {
            const Definition* hull = index.goods.find(package.value("hull"));
            carry(package, hull ? index.ships.find(hull->value("ship")) : nullptr, "addon");
        }
    }
    for (const Definition& loadout : index.loadouts.all()) {
        carry(loadout, index.ships.find(loadout.value("archetype")), "equip");
    }
    return carried;
}

void checkValue(const Definition& section, const ShipField& field, const ini::ParsedIni::Key& key,
                const std::unordered_set<std::string>& dragless, Problems& problems) {
    const std::string text = section.ini().value(key);
    if (text.empty()) {
        return;
    }
    const int line = lineOf(section, key);
    const std::optional<double> number = readNumber(text);
    if (!number) {
        problems.push_back(
            section.problem(Severity::Error, "number", line,
                            std::string(field.key) + " " + quoted(text) + " is not a number"));
        return;
    }
    const auto sign = std::ranges::find_if(kSignRules, [&](const SignRule& rule) {
        return rule.group == field.group && rule.key == field.key;
    });
    if (sign == kSignRules.end()) {
        return;
    }
    if (*number < 0) {
        problems.push_back(
            section.problem(Severity::Error, "number", line,
                            std::string(field.key) + " " + quoted(text) + " is below zero"));
    } else if (*number == 0 && sign->zeroDivides && dragless.contains(lowered(section.nickname))) {
        problems.push_back(section.problem(
            Severity::Warning, "number", line,
            std::string(field.key) +
                " is zero, and so is the drag of a ship that carries it: the engine speed "
                "divides by their sum"));
    }
}

} // namespace

void numbers(const CheckContext& context, Problems& problems) {
    const std::unordered_set<std::string> dragless = carriedByDraglessShips(context.index);
    for (const ShipGroup group :
         {ShipGroup::Ship, ShipGroup::Extended, ShipGroup::Handling, ShipGroup::Hull,
          ShipGroup::Tractor, ShipGroup::Power, ShipGroup::Engine}) {
        const auto fields = shipFieldsOf(group);
        if (std::ranges::none_of(fields, &ShipField::singleNumber)) {
            continue;
        }
        for (const Definition* section : sectionsOf(group, context.index)) {
            for (const ShipField& field : fields) {
                if (!field.singleNumber) {
                    continue;
                }
                for (const auto* key : section->keys(field.key)) {
                    checkValue(*section, field, *key, dragless, problems);
                }
            }
        }
    }
}

} // namespace skarvel::check::rule
