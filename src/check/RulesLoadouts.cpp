// The rules on loadouts and on the archetypes and loadouts that ships, solars and NPC ships use.
#include "check/Mounting.h"
#include "check/RuleFunctions.h"
#include "platform/AsciiText.h"

#include <algorithm>

namespace skarvel::check::rule {

namespace {

// The ship or solar a loadout is for; null when it names none the files define.
const Definition* archetypeOf(const ModIndex& index, const Definition& loadout) {
    const std::string archetype = loadout.value("archetype");
    if (archetype.empty()) {
        return nullptr;
    }
    const Definition* ship = index.ships.find(archetype);
    return ship ? ship : index.solars.find(archetype);
}

// A name used as an archetype or a loadout that no file of those roles defines; only judged
// when such files were read at all.
void reference(const CheckContext& context, const Definition& user, std::string_view key,
               std::initializer_list<std::pair<FileRole, const NameTable*>> into,
               std::string_view what, Problems& problems) {
    for (const auto& [role, table] : into) {
        if (!context.mod.has(role)) {
            return;
        }
    }
    for (const auto* line : user.keys(key)) {
        const std::string name = user.ini().value(*line);
        if (name.empty()) {
            continue;
        }
        const bool found = std::ranges::any_of(
            into, [&](const auto& source) { return source.second->find(name) != nullptr; });
        const bool unread = !found && std::ranges::any_of(into, [&](const auto& source) {
            return context.unchecked.skip(source.first);
        });
        if (!found && !unread) {
            problems.push_back(user.problem(Severity::Error, "archetype", lineOf(user, *line),
                                            std::string(key) + " " + quoted(name) + " is no " +
                                                std::string(what) + " any file defines"));
        }
    }
}

} // namespace

void loadoutItems(const CheckContext& context, Problems& problems) {
    const ModIndex& index = context.index;
    for (const Definition& loadout : index.loadouts.all()) {
        for (const auto* key : loadout.keys("equip")) {
            const std::string item = listItems(loadout.ini().value(*key)).front();
            if (!index.equipment.find(item) && !context.unchecked.skip(FileRole::Equipment)) {
                problems.push_back(
                    loadout.problem(Severity::Error, "loadout-item", lineOf(loadout, *key),
                                    "equip " + quoted(item) + " is no equipment of any file"));
            }
        }
        for (const auto* key : loadout.keys("cargo")) {
            const std::string item = listItems(loadout.ini().value(*key)).front();
            if (!index.defined(item) && !uncheckable(context)) {
                problems.push_back(loadout.problem(
                    Severity::Error, "loadout-item", lineOf(loadout, *key),
                    "cargo " + quoted(item) + " is no equipment or good of any file"));
            }
        }
    }
}

// A ship's real hardpoints are in its model, which is not read: only equipment of a hardpoint
// type is judged, and only against ships whose hp_type lines name hardpoints at all.
void loadoutHardpoints(const CheckContext& context, Problems& problems) {
    const ModIndex& index = context.index;
    for (const Definition& loadout : index.loadouts.all()) {
        const Definition* archetype = archetypeOf(index, loadout);
        if (!archetype) {
            continue; // the archetype rule tells
        }
        const ShipHardpoints hardpoints(*archetype);
        if (hardpoints.empty()) {
            continue;
        }
        for (const auto* key : loadout.keys("equip")) {
            const auto items = listItems(loadout.ini().value(*key));
            const Definition* equipment = index.equipment.find(items[0]);
            if (items.size() < 2 || !namesHardpoint(items[1]) || !equipment ||
                hardpointTypeOf(*equipment).empty() || hardpoints.has(items[1])) {
                continue;
            }
            problems.push_back(loadout.problem(
                Severity::Error, "loadout-hardpoint", lineOf(loadout, *key),
                "equip " + quoted(items[0]) + " sits on " + quoted(items[1]) +
                    ", which no hp_type line of " + quoted(archetype->nickname) + " names"));
        }
    }
}

void archetypes(const CheckContext& context, Problems& problems) {
    const ModIndex& index = context.index;
    for (const Definition& loadout : index.loadouts.all()) {
        reference(context, loadout, "archetype",
                  {{FileRole::Ships, &index.ships}, {FileRole::Solar, &index.solars}},
                  "ship or solar", problems);
    }
    for (const Definition& npc : index.npcShips.all()) {
        reference(context, npc, "ship_archetype", {{FileRole::Ships, &index.ships}}, "ship",
                  problems);
        reference(context, npc, "loadout", {{FileRole::Loadouts, &index.loadouts}}, "loadout",
                  problems);
    }
    for (const auto& [system, objects] : index.objects) {
        for (const Definition& object : objects.all()) {
            reference(context, object, "archetype",
                      {{FileRole::Solar, &index.solars}, {FileRole::Ships, &index.ships}},
                      "solar or ship", problems);
            reference(context, object, "loadout", {{FileRole::Loadouts, &index.loadouts}},
                      "loadout", problems);
        }
    }
}

} // namespace skarvel::check::rule
