// The rules on the universe: bases, systems and what the systems' objects name.
#include "check/RuleFunctions.h"
#include "gamedata/GameFolderPaths.h"
#include "platform/AsciiText.h"

namespace skarvel::check::rule {

namespace {

constexpr std::string_view kRule = "system-link";

void namesBase(const CheckContext& context, const Definition& object, std::string_view key,
               Problems& problems) {
    for (const auto* line : object.keys(key)) {
        const std::string base = object.ini().value(*line);
        if (!base.empty() && !context.index.bases.find(base)) {
            problems.push_back(object.problem(Severity::Error, kRule, lineOf(object, *line),
                                              std::string(key) + " names base " + quoted(base) +
                                                  ", which universe.ini does not define"));
        }
    }
}

void gotoLinks(const CheckContext& context, const Definition& object, Problems& problems) {
    const ModIndex& index = context.index;
    for (const auto* line : object.keys("goto")) {
        const auto items = listItems(object.ini().value(*line));
        const Definition* system = index.systems.find(items[0]);
        if (!system) {
            problems.push_back(object.problem(Severity::Error, kRule, lineOf(object, *line),
                                              "goto names system " + quoted(items[0]) +
                                                  ", which universe.ini does not define"));
            continue;
        }
        const auto objects = index.objects.find(lowered(system->nickname));
        const bool found =
            items.size() > 1 && objects != index.objects.end() && objects->second.find(items[1]);
        if (items.size() > 1 && !found &&
            !context.unchecked.skip(FileRole::System, system->nickname)) {
            problems.push_back(object.problem(Severity::Error, kRule, lineOf(object, *line),
                                              "goto names object " + quoted(items[1]) +
                                                  ", which system " + quoted(system->nickname) +
                                                  " does not have"));
        }
    }
}

} // namespace

// A base's file is named below DATA and found as the game finds it: any letter case, '\' or
// '/', never outside the game folder.
void baseSystems(const CheckContext& context, Problems& problems) {
    const GameFolderPaths paths(context.mod.gameFolder);
    for (const Definition& base : context.index.bases.all()) {
        for (const auto* key : base.keys("system")) {
            const std::string system = base.ini().value(*key);
            if (!context.index.systems.find(system)) {
                problems.push_back(base.problem(Severity::Error, "base-system", lineOf(base, *key),
                                                "base is in system " + quoted(system) +
                                                    ", which universe.ini does not define"));
            }
        }
        for (const auto* key : base.keys("file")) {
            const std::string file = base.ini().value(*key);
            if (file.empty()) {
                continue;
            }
            const GameFolderPaths::Resolved found = paths.resolve("DATA", file);
            if (!found.found()) {
                problems.push_back(
                    base.problem(Severity::Error, "base-system", lineOf(base, *key),
                                 "the base's file " + quoted(file) + " " + found.refusal));
            }
        }
    }
}

void systemLinks(const CheckContext& context, Problems& problems) {
    for (const auto& [system, objects] : context.index.objects) {
        for (const Definition& object : objects.all()) {
            gotoLinks(context, object, problems);
            namesBase(context, object, "base", problems);
            namesBase(context, object, "dock_with", problems);
            for (const std::string_view ring : {"prev_ring", "next_ring"}) {
                for (const auto* line : object.keys(ring)) {
                    const std::string next = object.ini().value(*line);
                    if (!next.empty() && !objects.find(next)) {
                        problems.push_back(
                            object.problem(Severity::Error, kRule, lineOf(object, *line),
                                           std::string(ring) + " names object " + quoted(next) +
                                               ", which this system does not have"));
                    }
                }
            }
        }
    }
}

} // namespace skarvel::check::rule
