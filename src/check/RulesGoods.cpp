// The rules on goods: hulls, packages and what they carry.
#include "check/RuleFunctions.h"
#include "platform/AsciiText.h"

#include <unordered_set>

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

bool hasCategory(const Definition& good, std::string_view category) {
    return equalsIgnoringCase(good.value("category"), category);
}

void shipHulls(const CheckContext& context, Problems& problems) {
    std::unordered_set<std::string> named;
    for (const Definition& good : context.index.goods.all()) {
        if (!hasCategory(good, "shiphull")) {
            continue;
        }
        for (const auto* key : good.keys("ship")) {
            const std::string ship = good.ini().value(*key);
            named.insert(lowered(ship));
            if (!context.index.ships.find(ship)) {
                problems.push_back(good.problem(Severity::Error, "ship-hull", lineOf(good, *key),
                                                "hull good names ship " + quoted(ship) +
                                                    ", which no ships file defines"));
            }
        }
    }
    if (!context.mod.has(FileRole::Goods)) {
        return; // without goods every ship would lack its hull
    }
    for (const Definition& ship : context.index.ships.all()) {
        if (!named.contains(lowered(ship.nickname))) {
            problems.push_back(ship.problem(Severity::Warning, "ship-hull", ship.line(),
                                            "no hull good names ship " + quoted(ship.nickname)));
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
            if (!good || !hasCategory(*good, "shiphull")) {
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
            if (!index.defined(item)) {
                problems.push_back(package.problem(
                    Severity::Error, "addon-missing", lineOf(package, *key),
                    "addon " + quoted(item) + " is no equipment or good of any file"));
            }
        }
    }
    for (const Definition& market : markets(context.mod)) {
        for (const auto* key : market.keys("MarketGood")) {
            const std::string item = listItems(market.ini().value(*key)).front();
            if (!index.defined(item)) {
                problems.push_back(market.problem(
                    Severity::Error, "addon-missing", lineOf(market, *key),
                    "market good " + quoted(item) + " is no good or equipment of any file"));
            }
        }
    }
}

void addonHardpoints(const CheckContext& context, Problems& problems) {
    for (const Definition& package : context.index.goods.all()) {
        if (!hasCategory(package, "ship")) {
            continue;
        }
        const Definition* ship = shipOfPackage(context.index, package);
        if (!ship) {
            continue; // package-hull or ship-hull tells
        }
        std::unordered_set<std::string> hardpoints;
        for (const auto* line : ship->keys("hp_type")) {
            const auto items = listItems(ship->ini().value(*line));
            for (std::size_t i = 1; i < items.size(); ++i) {
                hardpoints.insert(lowered(items[i]));
            }
        }
        for (const auto* key : package.keys("addon")) {
            const auto items = listItems(package.ini().value(*key));
            if (items.size() < 2 || items[1].empty() || equalsIgnoringCase(items[1], "internal") ||
                hardpoints.contains(lowered(items[1]))) {
                continue;
            }
            problems.push_back(package.problem(
                Severity::Warning, "addon-hardpoint", lineOf(package, *key),
                "addon " + quoted(items[0]) + " sits on " + quoted(items[1]) +
                    ", which no hp_type line of " + quoted(ship->nickname) + " names"));
        }
    }
}

} // namespace skarvel::check::rule
