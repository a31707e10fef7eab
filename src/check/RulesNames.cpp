// The rules on names: nicknames defined twice or missing, display names, files.
#include "check/RuleFunctions.h"
#include "gamedata/GameNames.h"
#include "platform/AsciiText.h"

namespace skarvel::check::rule {

namespace {

void duplicatesIn(const NameTable& table, std::string_view what, Problems& problems) {
    for (const Definition& definition : table.all()) {
        const Definition* first = table.find(definition.nickname);
        if (first != &definition) {
            problems.push_back(
                definition.problem(Severity::Error, "dup-nickname", definition.nicknameLine(),
                                   std::string(what) + " nickname " + quoted(definition.nickname) +
                                       " is defined twice, first at " + first->file->shown + ":" +
                                       std::to_string(first->nicknameLine())));
        }
    }
}

void unresolvedName(const Definition& definition, const GameNames& names, Problems& problems) {
    for (const auto* key : definition.keys("ids_name")) {
        const std::string ids = definition.ini().value(*key);
        if (names.text(ids).empty()) {
            problems.push_back(definition.problem(
                Severity::Warning, "name", lineOf(definition, *key),
                "ids_name " + quoted(ids) + " names no string of the game's DLLs"));
        }
    }
}

} // namespace

void duplicateNicknames(const CheckContext& context, Problems& problems) {
    duplicatesIn(context.index.ships, "ship", problems);
    duplicatesIn(context.index.goods, "good", problems);
    duplicatesIn(context.index.equipment, "equipment", problems);
    duplicatesIn(context.index.bases, "base", problems);
}

void names(const CheckContext& context, Problems& problems) {
    if (!context.names.hasNames()) {
        return; // without a readable DLL every name would be reported
    }
    for (const Definition& ship : context.index.ships.all()) {
        unresolvedName(ship, context.names, problems);
    }
    for (const Definition& item : context.index.equipment.all()) {
        if (equalsIgnoringCase(sectionKind(item.ini().name(*item.section)), "Commodity")) {
            unresolvedName(item, context.names, problems);
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
            if (!context.index.bases.find(base)) {
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
    for (const SourceFile& file : context.mod.files) {
        if (file.role != FileRole::Character) {
            continue;
        }
        for (const auto& section : file.ini->sections()) {
            Definition entry{&file, &section, {}};
            entry.nickname = entry.value("nickname");
            for (const auto* key : entry.keys("base")) {
                const std::string base = file.ini->value(*key);
                if (basesKnown && !index.bases.find(base)) {
                    problems.push_back(entry.problem(
                        Severity::Error, "character", lineOf(entry, *key),
                        "new characters start at base " + quoted(base) + ", which does not exist"));
                }
            }
            for (const auto* key : entry.keys("ship")) {
                const std::string ship = file.ini->value(*key);
                const Definition* package = index.goods.find(ship);
                if (shipsKnown && !index.ships.find(ship) &&
                    !(package && hasCategory(*package, "ship"))) {
                    problems.push_back(entry.problem(Severity::Error, "character",
                                                     lineOf(entry, *key),
                                                     "new characters get ship " + quoted(ship) +
                                                         ", which is no ship or ship package"));
                }
            }
        }
    }
}

void files(const CheckContext& context, Problems& problems) {
    problems.insert(problems.end(), context.mod.fileProblems.begin(),
                    context.mod.fileProblems.end());
}

} // namespace skarvel::check::rule
