// The rules on goods: hulls, packages and what they carry.
#include "check/Mounting.h"
#include "check/RuleFunctions.h"
#include "platform/AsciiText.h"

namespace skarvel::check::rule {

namespace {

// The ship a package carries, through its hull good; null when a link is missing.
const Definition* shipOfPackage(const ModIndex& index, const Definition& package) {
    const Definition* hull = index.goods.find(package.value("hull"));
    if (!hull || !hasCategory(*hull, "shiphull")) {
        return nullptr;
    }
    return index.ships.find(hull->value("ship"));
}

} // namespace

bool uncheckable(const CheckContext& context) {
    return context.unchecked.skip(FileRole::Equipment) || context.unchecked.skip(FileRole::Goods);
}

bool hasCategory(const Definition& good, std::string_view category) {
    return equalsIgnoringCase(good.value("category"), category);
}

// A ship no hull good names is no problem: NPC and story ships are sold nowhere.
void shipHulls(const CheckContext& context, Problems& problems) {
    for (const Definition& good : context.index.goods.all()) {
        if (!hasCategory(good, "shiphull")) {
            continue;
        }
        for (const auto* key : good.keys("ship")) {
            const std::string ship = good.ini().value(*key);
            if (!context.index.ships.find(ship) && !context.unchecked.skip(FileRole::Ships)) {
                problems.push_back(good.problem(Severity::Error, "ship-hull", lineOf(good, *key),
                                                "hull good names ship " + quoted(ship) +
                                                    ", which no ships file defines"));
            }
        }
    }
}

void packageHulls(const CheckContext& context, Problems& problems) {
    for (const Definition& package : context.index.goods.all()) {
        if (!hasCategory(package, "ship")) {
            continue;
        }
        for (const auto* key : package.keys("hull")) {
            const std::string hull = package.ini().value(*key);
            const Definition* good = context.index.goods.find(hull);
            if ((!good || !hasCategory(*good, "shiphull")) &&
                !(!good && context.unchecked.skip(FileRole::Goods))) {
                problems.push_back(package.problem(
                    Severity::Error, "package-hull", lineOf(package, *key),
                    "ship package names hull " + quoted(hull) + ", which is no hull good"));
            }
        }
    }
}

void missingAddons(const CheckContext& context, Problems& problems) {
    const ModIndex& index = context.index;
    for (const Definition& package : index.goods.all()) {
        if (!hasCategory(package, "ship")) {
            continue;
        }
        for (const auto* key : package.keys("addon")) {
            const std::string item = listItems(package.ini().value(*key)).front();
            if (!index.defined(item) && !uncheckable(context)) {
                problems.push_back(package.problem(
                    Severity::Error, "addon-missing", lineOf(package, *key),
                    "addon " + quoted(item) + " is no equipment or good of any file"));
            }
        }
    }
    for (const Definition& market : markets(context.mod)) {
        for (const auto* key : market.keys("MarketGood")) {
            const std::string item = listItems(market.ini().value(*key)).front();
            if (!index.defined(item) && !uncheckable(context)) {
                problems.push_back(market.problem(
                    Severity::Error, "addon-missing", lineOf(market, *key),
                    "market good " + quoted(item) + " is no good or equipment of any file"));
            }
        }
    }
}

// Equipment of a hardpoint type must sit where an hp_type line gives that type; the rest
// (lights, effects, internal equipment) sits on the model's own hardpoints.
void addonHardpoints(const CheckContext& context, Problems& problems) {
    for (const Definition& package : context.index.goods.all()) {
        if (!hasCategory(package, "ship")) {
            continue;
        }
        const Definition* ship = shipOfPackage(context.index, package);
        if (!ship) {
            continue; // package-hull or ship-hull tells
        }
        const ShipHardpoints hardpoints(*ship);
        for (const auto* key : package.keys("addon")) {
            const auto items = listItems(package.ini().value(*key));
            const Definition* equipment = context.index.equipment.find(items[0]);
            if (items.size() < 2 || !namesHardpoint(items[1]) || !equipment) {
                continue;
            }
            const std::string type = hardpointTypeOf(*equipment);
            if (type.empty() || hardpoints.takes(items[1], type)) {
                continue;
            }
            problems.push_back(package.problem(
                Severity::Error, "addon-hardpoint", lineOf(package, *key),
                "addon " + quoted(items[0]) + " mounts on " + type + ", and no hp_type line of " +
                    quoted(ship->nickname) + " gives " + quoted(items[1]) + " that type"));
        }
    }
}

} // namespace skarvel::check::rule
