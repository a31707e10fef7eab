// The rules on names: nicknames defined twice, display names, files.
#include "check/RuleFunctions.h"
#include "gamedata/GameNames.h"
#include "platform/AsciiText.h"

#include <unordered_map>

namespace skarvel::check::rule {

namespace {

std::string at(const Definition& definition, int line) {
    return definition.file->shown + ":" + std::to_string(line);
}

std::string kindOf(const Definition& definition) {
    return "[" + std::string(sectionKind(definition.ini().name(*definition.section))) + "]";
}

void duplicatesIn(const NameTable& table, std::string_view what, Problems& problems) {
    for (const Definition& definition : table.all()) {
        const Definition* first = table.find(definition.nickname);
        if (first != &definition) {
            problems.push_back(definition.problem(
                Severity::Error, "dup-nickname", definition.nicknameLine(),
                std::string(what) + " nickname " + quoted(definition.nickname) +
                    " is defined twice, first at " + at(*first, first->nicknameLine()) + " as " +
                    kindOf(*first)));
        }
    }
}

void unresolvedName(const Definition& definition, std::string_view key, const GameNames& names,
                    Problems& problems) {
    for (const auto* line : definition.keys(key)) {
        const std::string ids = definition.ini().value(*line);
        if (!ids.empty() && ids != "0" && names.text(ids).empty()) {
            problems.push_back(definition.problem(
                Severity::Warning, "name", lineOf(definition, *line),
                std::string(key) + " " + quoted(ids) + " names no string of the game's DLLs"));
        }
    }
}

} // namespace

void duplicateNicknames(const CheckContext& context, Problems& problems) {
    const ModIndex& index = context.index;
    duplicatesIn(index.archetypes, "archetype", problems);
    duplicatesIn(index.goods, "good", problems);
    duplicatesIn(index.bases, "base", problems);
    duplicatesIn(index.systems, "system", problems);
    duplicatesIn(index.loadouts, "loadout", problems);
    duplicatesIn(index.npcShips, "NPC ship", problems);
    duplicatesIn(index.factions, "faction", problems);
}

// The game merges the markets of one base from several files, but within a file a second
// [BaseGood] or a good listed twice is a mistake.
void marketDuplicates(const CheckContext& context, Problems& problems) {
    std::unordered_map<std::string, const Definition*> firstMarket; // file and base
    std::unordered_map<std::string, std::pair<const Definition*, int>> firstGood;
    const std::vector<Definition> all = markets(context.mod);
    for (const Definition& market : all) {
        const std::string base = market.file->shown + "\n" + lowered(market.nickname);
        const auto [first, isNew] = firstMarket.try_emplace(base, &market);
        if (!isNew) {
            problems.push_back(market.problem(Severity::Error, "market-dup", market.line(),
                                              "a second [BaseGood] for base " +
                                                  quoted(market.nickname) + ", the first at " +
                                                  at(*first->second, first->second->line())));
        }
        for (const auto* key : market.keys("MarketGood")) {
            const std::string good = listItems(market.ini().value(*key)).front();
            const int line = lineOf(market, *key);
            const auto [listed, once] =
                firstGood.try_emplace(base + "\n" + lowered(good), &market, line);
            if (!once) {
                problems.push_back(
                    market.problem(Severity::Error, "market-dup", line,
                                   "market good " + quoted(good) + " is listed twice for base " +
                                       quoted(market.nickname) + ", first at " +
                                       at(*listed->second.first, listed->second.second)));
            }
        }
    }
}

void names(const CheckContext& context, Problems& problems) {
    if (!context.names.hasNames()) {
        return; // without a readable DLL every name would be reported
    }
    const ModIndex& index = context.index;
    for (const NameTable* table : {&index.ships, &index.equipment, &index.goods, &index.factions}) {
        for (const Definition& definition : table->all()) {
            unresolvedName(definition, "ids_name", context.names, problems);
        }
    }
    for (const NameTable* table : {&index.bases, &index.systems}) {
        for (const Definition& definition : table->all()) {
            unresolvedName(definition, "strid_name", context.names, problems);
        }
    }
}

void marketBases(const CheckContext& context, Problems& problems) {
    if (!context.mod.has(FileRole::Universe)) {
        return; // the file rule tells; every base would be unknown
    }
    for (const Definition& market : markets(context.mod)) {
        for (const auto* key : market.keys("base")) {
            const std::string base = market.ini().value(*key);
            if (!context.index.bases.find(base) && !context.unchecked.skip(FileRole::Universe)) {
                problems.push_back(market.problem(
                    Severity::Error, "market-base", lineOf(market, *key),
                    "market for base " + quoted(base) + ", which universe.ini does not define"));
                problems.back().nickname = base;
            }
        }
    }
}

void character(const CheckContext& context, Problems& problems) {
    const ModIndex& index = context.index;
    const bool basesKnown = context.mod.has(FileRole::Universe);
    const bool shipsKnown = context.mod.has(FileRole::Ships) && context.mod.has(FileRole::Goods);
    for (const Definition& entry : sectionsOf(context.mod, FileRole::Character)) {
        for (const auto* key : entry.keys("base")) {
            const std::string base = entry.ini().value(*key);
            if (basesKnown && !index.bases.find(base) &&
                !context.unchecked.skip(FileRole::Universe)) {
                problems.push_back(entry.problem(Severity::Error, "character", lineOf(entry, *key),
                                                 "new characters start at base " + quoted(base) +
                                                     ", which does not exist"));
            }
        }
        for (const auto* key : entry.keys("ship")) {
            const std::string ship = entry.ini().value(*key);
            const Definition* package = index.goods.find(ship);
            if (shipsKnown && !index.ships.find(ship) &&
                !(package && hasCategory(*package, "ship")) &&
                !context.unchecked.skip(FileRole::Ships) &&
                !context.unchecked.skip(FileRole::Goods)) {
                problems.push_back(entry.problem(Severity::Error, "character", lineOf(entry, *key),
                                                 "new characters get ship " + quoted(ship) +
                                                     ", which is no ship or ship package"));
            }
        }
    }
}

void files(const CheckContext& context, Problems& problems) {
    problems.insert(problems.end(), context.mod.fileProblems.begin(),
                    context.mod.fileProblems.end());
}

} // namespace skarvel::check::rule
